# scripts/deps.sh -- sourced by scripts/play and scripts/test: installs the Debian packages named
# in "$@" that are not installed yet, quietly, and only then touches apt at all.
need_packages() {
  local missing=()
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" != 0 ]; then
    echo "zaraz: these Debian packages are missing: ${missing[*]}" >&2
    echo "zaraz: install them as root: apt-get install ${missing[*]}" >&2
    exit 1
  fi
  echo "zaraz: installing ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >/dev/null
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# What building and running the game needs.
BUILD_PACKAGES=(g++ cmake make pkg-config libsdl1.2-dev libsdl-image1.2-dev libsdl-mixer1.2-dev)
