# Shared by scripts/run and scripts/test: installs what is missing from
# Debian's packages and configures and builds one tree.

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

# Build tools, test and benchmark libraries, Qt 6 Widgets, PipeWire, the
# Wayland client library with its protocol files and code generator, the
# X11 protocol library the pipette reads an X server through, and
# the German locale the number-parsing tests read under.
packages=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev libqt6svg6 libx11-dev locales xvfb xauth x11-utils
          desktop-file-utils appstream dpkg-dev clang libclang-rt-14-dev valgrind
          xdotool imagemagick python3-xlib libpipewire-0.3-dev libspa-0.2-dev
          libwayland-dev libwayland-bin wayland-protocols libxkbcommon-dev libxcb1-dev)
# Only for the tests: the pipette's Wayland test runs a headless GNOME Shell
# and its portals; the windows are checked under the Adwaita styles; a
# screen reader's view is read through the accessibility bus, and Orca is
# heard through a speech server that writes what it is given; the portal
# conversation is tested against a fake portal on a bus of its own; the
# live pipette on wlroots runs on a headless Sway, read with grim, with
# wtype's keyboard, and its portal's one-shot pick uses slurp; KDE's portal
# runs with KWin nested in Sway, and its dialog needs Qt 5's Wayland plugin,
# QML modules and one of Plasma's own (plasma-workspace).
test_packages=(gnome-shell mutter pipewire wireplumber xdg-desktop-portal
               xdg-desktop-portal-gnome python3-dbusmock python3-gi libegl-mesa0
               libgl1-mesa-dri qt6-wayland adwaita-qt6 at-spi2-core python3-pyatspi
               orca speech-dispatcher speech-dispatcher-audio-plugins python3-speechd
               gir1.2-atspi-2.0 dbus-daemon sway grim wtype slurp
               xdg-desktop-portal-wlr kwin-wayland xdg-desktop-portal-kde plasma-workspace
               qtwayland5 qml-module-qtquick2 qml-module-qtquick-window2
               qml-module-qtquick-layouts qml-module-qtquick-controls2
               qml-module-org-kde-kirigami2 qml-module-org-kde-kquickcontrolsaddons
               qml-module-org-kde-pipewire)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

# install_missing [tests]: the packages to build and run, and with "tests"
# those the tests need as well.
install_missing() {
    local wanted=("${packages[@]}")
    if [ "${1:-}" = tests ]; then
        wanted+=("${test_packages[@]}")
    fi
    local missing=()
    local p
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            "${missing[@]}"
    fi
}

# Tests check that numbers read the same under a locale with a decimal comma.
ensure_test_locale() {
    if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
        as_root localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "warning: could not generate de_DE.UTF-8"
    fi
}

# configure_and_build PRESET [cmake options...]: one of CMakePresets.json's
# configurations, in build/PRESET.
configure_and_build() {
    local preset=$1
    shift
    (cd "$top" && cmake --preset "$preset" "$@" >/dev/null && cmake --build --preset "$preset" -j "$jobs")
}

# Builds the Debian package in a build folder and checks what it holds: the
# programs, data, desktop entry, icon and metadata at their places, and a
# set-up step that finds the data of the unpacked tree.
check_package() {
    local dir=$1
    (cd "$dir" && rm -f tintorel_*.deb && cpack -G DEB >/dev/null 2>&1)
    local deb
    deb=$(ls "$dir"/tintorel_*.deb)
    local listing
    listing=$(dpkg-deb -c "$deb")
    local path
    for path in usr/bin/tintorel usr/bin/tintorel-setup usr/bin/tintorel-launch \
        usr/share/applications/org.tintorel.Tintorel.desktop \
        usr/share/icons/hicolor/scalable/apps/org.tintorel.Tintorel.svg \
        usr/share/metainfo/org.tintorel.Tintorel.metainfo.xml \
        usr/share/tintorel/colours/web.txt usr/share/tintorel/languages/english.txt \
        usr/share/doc/tintorel/copyright usr/share/doc/tintorel/changelog.Debian.gz; do
        grep -q "\./$path\$" <<<"$listing" || { echo "package lacks $path"; return 1; }
    done
    dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || { echo "package lacks its Qt dependency"; return 1; }
    # The changelog and the metadata name the package's own version.
    local version
    version=$(dpkg-deb -f "$deb" Version)
    dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/doc/tintorel/changelog.Debian.gz | zcat |
        head -1 | grep -qF "tintorel ($version)" || { echo "the changelog is not of $version"; return 1; }
    dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/metainfo/org.tintorel.Tintorel.metainfo.xml |
        grep -qF "<release version=\"$version\"" || { echo "the metadata is not of $version"; return 1; }
    local tree
    tree=$(mktemp -d)
    dpkg-deb -x "$deb" "$tree"
    HOME="$tree/home" XDG_CONFIG_HOME= LANG=fr_FR.UTF-8 LC_ALL= LC_MESSAGES= \
        "$tree/usr/bin/tintorel-setup" >/dev/null
    grep -q "\"ColorDir\"=\"$tree/usr/share/tintorel/colours/\"" "$tree/home/.config/VRQM/tintorel.reg" &&
        grep -q '"LocaleFile"="french.txt"' "$tree/home/.config/VRQM/tintorel.reg" ||
        { echo "the packaged set-up step did not find its data"; rm -rf "$tree"; return 1; }
    # The menu entry's command fills in the settings, then becomes the
    # program: its session log shows the start, and SIGTERM ends it cleanly.
    local first="$tree/first"
    HOME="$first" XDG_CONFIG_HOME= XDG_STATE_HOME= QT_QPA_PLATFORM=offscreen \
        "$tree/usr/bin/tintorel-launch" >/dev/null 2>&1 &
    local pid=$!
    local log="$first/.local/state/tintorel/tintorel.log"
    local waited=0
    until grep -qs -- "-- Begin of session --" "$log" || [ $waited -ge 600 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    kill -TERM "$pid" 2>/dev/null
    wait "$pid"
    grep -qs -- "-- End of session --" "$log" &&
        grep -q "\"ColorDir\"=\"$tree/usr/share/tintorel/colours/\"" "$first/.config/VRQM/tintorel.reg" ||
        { echo "the packaged launcher did not set up and start the program"; rm -rf "$tree"; return 1; }
    rm -rf "$tree"
    echo "package $(basename "$deb") holds what it should"
}

# Builds the fuzz targets in build/fuzz and runs each for $1 seconds, two at
# a time, as the tests labelled fuzz; prints how many inputs each ran and
# fails on any crash.
run_fuzzers() {
    local seconds=$1
    local dir="$top/build/fuzz"
    configure_and_build fuzz -DTINTOREL_FUZZ_SECONDS="$seconds"
    local failed=0
    (cd "$top" && ctest --preset fuzz -j "$jobs" >"$dir/ctest.log" 2>&1) || failed=1
    local target
    for target in $(cd "$top" && ctest --preset fuzz -N | sed -n 's/^ *Test *#[0-9]*: //p'); do
        printf '%-18s %s\n' "$target" "$(grep -E '^Done [0-9]+ runs' "$dir/$target.log" || echo 'FAILED, see '"$dir/$target.log")"
    done
    return "$failed"
}

# Runs the unit and widget tests of a build folder under valgrind memcheck
# (ctest -T memcheck): any invalid access or leak of our own fails the run.
run_memcheck() {
    local dir=$1
    if (cd "$dir" && QT_QPA_PLATFORM=offscreen ctest -T memcheck -L '^(unit|widget)$' -j "$jobs" \
        > "$dir/memcheck.log" 2>&1); then
        echo "memcheck clean: $(grep -E 'tests passed' "$dir/memcheck.log")"
    else
        echo "memcheck FAILED (see $dir/memcheck.log and $dir/Testing/Temporary/MemoryChecker.*.log)"
        grep -E 'Defects|Failed|\*\*\*' "$dir/memcheck.log" | head -n 20
        return 1
    fi
}
