#!/usr/bin/env bash
# Builds Lantrel's Debian package, lantrel_VERSION_ARCH.deb, into the top of the checkout and
# checks it with lintian. It packages the build folder that scripts/test.sh builds and tests
# (build/, or BUILD_DIR; extra CMake options in CMAKE_ARGS), so the package holds the program
# that passed the tests; a fresh checkout builds it first.
set -euo pipefail
cd "$(dirname "$0")/.."

# CPack finds the libraries' packages with dpkg-shlibdeps (dpkg-dev), which reads the files
# that `file` says are programs; lintian checks the result as Debian would.
bash scripts/install_packages.sh dpkg-dev file lintian

build_dir=${BUILD_DIR:-build}
# For /usr, as a distribution builds it: GNUInstallDirs then takes Debian's multiarch library
# folder (lib/x86_64-linux-gnu) for the modules, which the program finds from its own folder,
# and which, unlike /usr/lib, ldconfig has no business with.
# shellcheck disable=SC2086
cmake -S . -B "$build_dir" -G Ninja -DLANTREL_WERROR=ON -DCMAKE_INSTALL_PREFIX=/usr ${CMAKE_ARGS:-}
cmake --build "$build_dir" -j2

rm -f "$build_dir"/lantrel_*.deb lantrel_*.deb
(cd "$build_dir" && cpack -G DEB)
mv "$build_dir"/lantrel_*.deb .
package=$(echo lantrel_*.deb)

# Errors fail the build; the warnings that remain are printed for the reader.
lintian --fail-on error --tag-display-limit 0 "$package"
echo "The package is $(pwd)/$package"
