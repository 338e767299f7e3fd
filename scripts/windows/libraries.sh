# scripts/windows/libraries.sh -- sourced by scripts/windows/build-and-check: fetches the Debian
# sources of the six libraries the Windows game links statically (SDL 1.2, SDL_mixer, libpng,
# zlib, Ogg, Vorbis) and cross-builds them once per machine into a cache outside the clone, which
# every later clone reuses. Nothing of theirs is kept in the repository.
#
# Needs: JOBS and HOSTS (i686-w64-mingw32, x86_64-w64-mingw32). Provides windows_libraries, which
# makes sure the cache for these versions and this script is complete and sets WINDOWS_CACHE to
# it: the headers, static libraries and pkg-config files of each host are in
# "$WINDOWS_CACHE/HOST".

# The versions of Debian 12's main suite; its security updates are not all on the mirror.
LIBRARY_VERSIONS=(
  zlib=1:1.2.13.dfsg-1
  libpng1.6=1.6.39-2+deb12u5
  libogg=1.3.5-3
  libvorbis=1.3.7-1
  libsdl1.2=1.2.15+dfsg2-8
  sdl-mixer1.2=1.2.12-17
)

# The mirror this machine's apt already uses for Debian's main archive; none is assumed.
debian_mirror() {
  local mirror
  mirror=$(grep -hsoE '(URIs:|^deb)[[:space:]]+https?://[^[:space:]]+/debian/?([[:space:]]|$)' \
    /etc/apt/sources.list.d/*.sources /etc/apt/sources.list /etc/apt/sources.list.d/*.list |
    grep -oE 'https?://[^[:space:]]+' | head -1 || true)
  if [ -z "$mirror" ]; then
    echo "windows: apt's configuration (/etc/apt/sources.list, /etc/apt/sources.list.d/) names" \
      "no Debian archive to fetch the library sources from; add this machine's mirror there" >&2
    return 1
  fi
  echo "$mirror"
}

# Downloads and unpacks (Debian's patches applied) each source package once, with a private
# apt configuration: the system's own source lists and package lists are not touched.
fetch_library_sources() {
  local sources=$WINDOWS_CACHE/sources mirror
  mirror=$(debian_mirror) || return 1
  mkdir -p "$sources/apt/lists/partial" "$sources/apt/parts" "$sources/packages"
  cat >"$sources/apt/parts/zaraz-windows.sources" <<SOURCES
Types: deb-src
URIs: $mirror
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  local apt_options=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$sources/apt/parts"
    -o "Dir::State::Lists=$sources/apt/lists" -o Debug::NoLocking=1 -qq)
  echo "windows: fetching the library sources"
  apt-get "${apt_options[@]}" update
  (cd "$sources/packages" &&
    apt-get "${apt_options[@]}" source --download-only "${LIBRARY_VERSIONS[@]}" 2>&1 |
    grep -v "unsandboxed" || true)
  local dsc
  for dsc in "$sources"/packages/*.dsc; do
    (cd "$sources/packages" && dpkg-source -x "$dsc" >/dev/null 2>&1) ||
      { echo "windows: cannot unpack $dsc" >&2; return 1; }
  done
}

# The unpacked source folder of Debian source package $1.
source_dir_of() {
  local dir
  dir=$(find "$WINDOWS_CACHE/sources/packages" -mindepth 1 -maxdepth 1 -type d -name "$1-*" | head -1)
  [ -n "$dir" ] || { echo "windows: no source of $1" >&2; return 1; }
  echo "$dir"
}

# Copies source package $1 into a scratch folder for one architecture and enters it. Debian's
# patches touch some autotools inputs; they are made older than the generated files, so that
# make never tries to run autotools.
enter_fresh_copy() {
  local work=$WINDOWS_CACHE/work/$HOST/$1
  rm -rf "$work"
  mkdir -p "$(dirname "$work")"
  cp -a "$(source_dir_of "$1")" "$work"
  cd "$work"
  find . \( -name configure.in -o -name configure.ac -o -name Makefile.am -o -name '*.m4' \) \
    -exec touch -d 2000-01-01 {} +
}

# Runs the build of library $1 (a function).
build_one() {
  local name=$1
  echo "windows: building $name for $HOST"
  local log=$WINDOWS_CACHE/work/$HOST-$name.log
  mkdir -p "$(dirname "$log")"
  if ! (set -e; "build_$name") >"$log" 2>&1; then
    echo "windows: building $name for $HOST failed; the last lines of $log:" >&2
    tail -30 "$log" >&2
    return 1
  fi
}

autotools_install() {
  ./configure --host="$HOST" --prefix="$PREFIX" --disable-shared --enable-static "$@"
  make -j"$JOBS"
  make install
}

build_zlib() {
  enter_fresh_copy zlib
  CHOST=$HOST ./configure --static --prefix="$PREFIX"
  make -j"$JOBS" libz.a
  make install
}

build_libpng() {
  enter_fresh_copy libpng1.6
  autotools_install --disable-tools
}

build_libogg() {
  enter_fresh_copy libogg
  autotools_install
}

build_libvorbis() {
  enter_fresh_copy libvorbis
  autotools_install --disable-docs --disable-examples --disable-oggtest
}

build_sdl() {
  enter_fresh_copy libsdl1.2
  # windib is the video driver that draws under Wine; stdio stays the console's, not files.
  autotools_install --disable-stdio-redirect
}

build_sdl_mixer() {
  enter_fresh_copy sdl-mixer1.2
  # Ogg linked in, not loaded at run time: without this a static build silently drops Ogg.
  LIBS='-lvorbis -logg -lm' ./configure --host="$HOST" --prefix="$PREFIX" --disable-shared \
    --with-sdl-prefix="$PREFIX" --enable-music-ogg --disable-music-ogg-shared \
    --disable-music-mod --disable-music-midi --disable-music-mp3 --disable-music-flac \
    --disable-smpegtest
  grep -q -- '-DOGG_MUSIC' Makefile || { echo "SDL_mixer was configured without Ogg" >&2; return 1; }
  make -j"$JOBS" install-hdrs install-lib
}

# Builds all six for $1 into $WINDOWS_CACHE/$1, in dependency order.
build_libraries() {
  HOST=$1
  PREFIX=$WINDOWS_CACHE/$HOST
  mkdir -p "$PREFIX"
  # Each configure finds the others through these, and never the build machine's own libraries.
  export CPPFLAGS="-I$PREFIX/include" LDFLAGS="-L$PREFIX/lib"
  export PKG_CONFIG_LIBDIR=$PREFIX/lib/pkgconfig PKG_CONFIG_PATH=""
  export CC=$HOST-gcc-posix CXX=$HOST-g++-posix
  local library
  for library in zlib libpng libogg libvorbis sdl sdl_mixer; do
    build_one "$library" || return 1
  done
  unset CPPFLAGS LDFLAGS PKG_CONFIG_LIBDIR PKG_CONFIG_PATH CC CXX
}

# The machine's cache folder: /var/cache/zaraz/windows for root, under $XDG_CACHE_HOME (or
# ~/.cache) for anyone else; ZARAZ_WINDOWS_CACHE_ROOT chooses another.
cache_root() {
  if [ -n "${ZARAZ_WINDOWS_CACHE_ROOT:-}" ]; then
    echo "$ZARAZ_WINDOWS_CACHE_ROOT"
  elif [ "$(id -u)" = 0 ]; then
    echo /var/cache/zaraz/windows
  else
    echo "${XDG_CACHE_HOME:-$HOME/.cache}/zaraz/windows"
  fi
}

# The cache's key: the pinned versions, the cross compilers' version and this script, so that a
# change to any of them builds anew.
cache_key() {
  { printf '%s\n' "${LIBRARY_VERSIONS[@]}" "${HOSTS[@]}"; "${HOSTS[0]}-gcc-posix" --version
    cat "${BASH_SOURCE[0]}"; } |
    sha256sum | cut -c1-16
}

# Sets WINDOWS_CACHE to the complete cache of this key, building it first when there is none.
# The build goes into a scratch folder beside it, renamed into place only once every library of
# every host is installed, so that an interrupted run never leaves a cache that looks complete;
# a lock keeps two clones on one machine from building at once.
windows_libraries() {
  local root key final scratch pids=() pid host
  root=$(cache_root)
  key=$(cache_key)
  final=$root/$key
  mkdir -p "$root"
  exec {lock}>"$root/.lock"
  flock "$lock"
  if [ ! -d "$final" ]; then
    rm -rf "$root"/.building-*  # left by an interrupted run: the lock says none is running
    scratch=$root/.building-$key
    mkdir -p "$scratch"
    WINDOWS_CACHE=$scratch
    echo "windows: building the libraries once for this machine into $final"
    fetch_library_sources || return 1
    # Both hosts at once: most of the time goes to configure scripts, which use one core.
    for host in "${HOSTS[@]}"; do
      (build_libraries "$host") &
      pids+=($!)
    done
    for pid in "${pids[@]}"; do
      wait "$pid" ||
        { echo "windows: a library build failed (logs in $scratch/work)" >&2; return 1; }
    done
    rm -rf "$scratch/sources" "$scratch/work"
    # The installed pkg-config files, sdl-config and libtool files name their folder: the final one.
    { grep -rlIF "$scratch" "$scratch" || true; } | xargs -r sed -i "s|$scratch|$final|g"
    mv -T "$scratch" "$final"
  fi
  exec {lock}>&-
  WINDOWS_CACHE=$final
}
