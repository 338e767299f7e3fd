// overlay/buttons.cpp -- "Resume game" and "Exit".
#include "overlay/buttons.h"

void updateOverlayButtons() {}
