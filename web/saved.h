// web/saved.h -- keeping the best-score file across visits: the browser forgets the page's
// files on every reload, so the file is also kept in the browser's IndexedDB.
//
// web/pre.js mounts IndexedDB's file system at SAVED_FOLDER and loads it before main() runs.
// web/main.cpp calls restoreSavedRecord once before start-up (so that the first reset reads the
// kept best score) and keepRecordIfStored after every frame.
#pragma once

constexpr const char* SAVED_FOLDER = "/saved";

// Copies SAVED_FOLDER's copy of the best-score file, if there is one, into the working
// directory, where the game reads it.
void restoreSavedRecord();

// When the game has stored the best-score file since the last call (a new file took its place),
// copies it into SAVED_FOLDER and has the browser write that folder to IndexedDB. Cheap when
// nothing changed: one look at the file's identity.
void keepRecordIfStored();
