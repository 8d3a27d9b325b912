# Shared by scripts/run and scripts/test: installs what is missing from
# Debian's packages and configures and builds one tree.

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

# Build tools, test and benchmark libraries, Qt 6 Widgets, PipeWire, and
# the German locale the number-parsing tests read under.
packages=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev libqt6svg6 libx11-dev locales xvfb xauth
          desktop-file-utils appstream dpkg-dev clang libclang-rt-14-dev valgrind
          xdotool imagemagick python3-xlib libpipewire-0.3-dev libspa-0.2-dev)
# Only for the tests: the pipette's Wayland test runs a headless GNOME Shell
# and its portals; the windows are checked under the Adwaita styles; a
# screen reader's view is read through the accessibility bus.
test_packages=(gnome-shell mutter pipewire wireplumber xdg-desktop-portal
               xdg-desktop-portal-gnome python3-dbusmock python3-gi libegl-mesa0
               libgl1-mesa-dri qt6-wayland adwaita-qt6 at-spi2-core python3-pyatspi
               gir1.2-atspi-2.0)

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

# configure_and_build DIR [cmake options...]
configure_and_build() {
    local dir=$1
    shift
    cmake -S "$top" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
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
# a time; prints how many inputs each ran and fails on any crash.
run_fuzzers() {
    local seconds=$1
    local dir="$top/build/fuzz"
    CXX=clang++ CC=clang configure_and_build "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTINTOREL_FUZZ=ON -DBUILD_TESTING=OFF -DTINTOREL_BENCHMARKS=OFF \
        -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
    local -A seeds=(
        [fuzz_colourlist]="$top/data/colours" [fuzz_colorsort]="$top/data/colours"
        [fuzz_language]="$top/data/languages"
        [fuzz_regfile]="$top/fuzz/seeds/regfile" [fuzz_codes]="$top/fuzz/seeds/codes"
        [fuzz_colortext]="$top/fuzz/seeds/colortext" [fuzz_range]="$top/fuzz/seeds/range"
        [fuzz_slider]="$top/fuzz/seeds/slider")
    mkdir -p "$dir/crashes"
    local failed=0
    local running=()
    local target
    local targets=(fuzz_colourlist fuzz_colorsort fuzz_language fuzz_regfile fuzz_codes
        fuzz_colortext fuzz_range fuzz_slider)
    for target in "${targets[@]}"; do
        # Each target in a folder of its own: libFuzzer writes its logs and
        # its -jobs workers' files into the working folder.
        mkdir -p "$dir/corpus/$target" "$dir/work/$target"
        local kept=()
        if [ -d "$top/fuzz/corpus/$target" ]; then
            kept=("$top/fuzz/corpus/$target")
        fi
        # Qt and fontconfig keep caches alive for the whole process: leaks are
        # checked everywhere but in the slider's target.
        local leaks=1
        if [ "$target" = fuzz_slider ]; then
            leaks=0
        fi
        # The shipped lists, its seeds, run to 18 kB; a fault of a line's
        # parse shows in a few kB as well, read many times faster.
        local longest=()
        if [ "$target" = fuzz_colourlist ]; then
            longest=(-max_len=4096)
        fi
        (cd "$dir/work/$target" && ASAN_OPTIONS=detect_leaks=$leaks "$dir/fuzz/$target" \
            -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "${longest[@]}" \
            -artifact_prefix="$dir/crashes/$target-" -print_final_stats=1 \
            "$dir/corpus/$target" "${seeds[$target]}" "${kept[@]}" > "$dir/$target.log" 2>&1) &
        running+=($!)
        if [ "${#running[@]}" -ge "$jobs" ]; then
            wait "${running[0]}" || failed=1
            running=("${running[@]:1}")
        fi
    done
    local pid
    for pid in "${running[@]}"; do
        wait "$pid" || failed=1
    done
    for target in "${targets[@]}"; do
        printf '%-18s %s\n' "$target" "$(grep -E '^Done [0-9]+ runs' "$dir/$target.log" || echo 'FAILED, see '"$dir/$target.log")"
    done
    return "$failed"
}

# Runs every unit and widget test executable of a build folder under
# valgrind memcheck: any invalid access or leak of our own fails the run.
run_memcheck() {
    local dir=$1
    local failed=0
    local test
    for test in util/util_test colour/colour_test colourlist/colourlist_test log/log_test \
        locale/locale_test platform/platform_test settings/settings_test \
        controls/controls_test app/app_test; do
        if QT_QPA_PLATFORM=offscreen valgrind --error-exitcode=9 --leak-check=full \
            --errors-for-leak-kinds=definite --suppressions="$top/tests/valgrind.supp" -q \
            "$dir/tests/$test" > "$dir/memcheck-$(basename "$test").log" 2>&1; then
            echo "memcheck clean: $test"
        else
            echo "memcheck FAILED: $test (see $dir/memcheck-$(basename "$test").log)"
            failed=1
        fi
    done
    return "$failed"
}
