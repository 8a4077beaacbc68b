#!/usr/bin/env bash
# Builds the Debian package of the suite from the build in ./build (made by
# tools/setup.sh) into ./build/package, and checks it with dpkg-deb: the
# dependencies found by dpkg-shlibdeps and the listed ones, the programs,
# libraries, translations, help documents, OCR wrapper and menu entries, and
# that the unpacked programs find every library they link.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
cmake --build build -j"$(nproc)"
out=$root/build/package
rm -rf "$out"
work=$(mktemp -d)
trap 'rm -rf "$work" "$out/_CPack_Packages"' EXIT
(cd build && cpack -G DEB -B "$out" >"$work/cpack.log" 2>&1) || { tail -n 40 "$work/cpack.log" >&2; exit 1; }
debs=("$out"/*.deb)
deb=${debs[0]}
echo "package: $deb"

failures=0
fail() {
  echo "package: FAIL: $*" >&2
  failures=$((failures + 1))
}

info=$(dpkg-deb -I "$deb")
depends=$(sed -n 's/^ Depends: //p' <<<"$info")
for dep in libqt5widgets5 libqt5printsupport5 libqt5network5 libusb-1.0-0 libfreeimage3 libhpdf-2.3.0 \
           libminizip1 libtiff6 libfreetype6 libcurl4 xdg-utils tesseract-ocr tesseract-ocr-chi-sim \
           qpdf python3 fonts-wqy-zenhei; do
  grep -Eq "(^|, )$dep( |,|$)" <<<"$depends" || fail "no dependency on $dep: $depends"
done

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
prefix=$(cmake -L -N build 2>/dev/null | sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p')
app=.$prefix/lib/corvan-vr516
for f in "$app/corvan-onepress" "$app/corvan-console" "$app/tesseract" "$app/support.ini" \
         "$app/translations/qt_zh_CN.qm" "$app/translations/qtbase_zh_CN.qm" \
         "$app/help/Deskscope_ZH_CN.pdf" "$app/help/Scan_Settings_Guide_ZH_CN.pdf" \
         "$app/icons/Color-PDF.png" "$app/stamp/zz130" \
         ".$prefix/bin/corvan-onepress" ".$prefix/bin/corvan-console" ".$prefix/bin/eventrelease" \
         ".$prefix/lib/libdevgate.so.1" ".$prefix/lib/libvellum.so.1" ".$prefix/lib/libonepress.so.1" \
         ".$prefix/lib/libretoucher.so.1" ".$prefix/sbin/corvan-deskscope-vr516-checkstart" \
         ".$prefix/share/applications/corvan-onepress.desktop" \
         ".$prefix/share/applications/corvan-console.desktop" \
         ".$prefix/share/icons/hicolor/32x32/apps/corvan-onepress.png" \
         ".$prefix/share/icons/hicolor/128x128/apps/corvan-console.png"; do
  grep -Fq "$f" <<<"$contents" || fail "$f is not in the package"
done

dpkg-deb -x "$deb" "$work/root"
if ! desktop-file-validate "$work/root$prefix"/share/applications/*.desktop; then
  fail "desktop-file-validate"
fi
for program in "$work/root$prefix/lib/corvan-vr516/corvan-onepress" \
               "$work/root$prefix/lib/corvan-vr516/corvan-console" "$work/root$prefix/bin/eventrelease"; do
  missing=$(ldd "$program" | grep 'not found' || true)
  [ -z "$missing" ] || fail "$program: $missing"
  case "$(ldd "$program")" in
    *"$root/build"*) fail "$program links from the build tree" ;;
  esac
done
[ -x "$work/root$prefix/lib/corvan-vr516/tesseract" ] || fail "the OCR wrapper is not executable"

if [ "$failures" -ne 0 ]; then
  echo "package: $failures check(s) failed" >&2
  exit 1
fi
echo "package: all checks passed"
