# The Debian package of the suite: `cpack -G DEB` in the build folder makes one
# .deb of everything `cmake --install` installs (tools/package.sh builds and
# checks it). It installs under the same prefix as `cmake --install`, since
# the launcher looks for its start-at-login helpers in /usr/local/sbin. The
# libraries it needs come from dpkg-shlibdeps over its programs and
# libraries; the programs it runs and the fonts it draws with are listed.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvan-vr516)
set(CPACK_PACKAGE_VENDOR Corvan)
set(CPACK_PACKAGE_CONTACT "Corvan <support@corvan.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Scanning suite for Corvan VR516 sheet-fed USB scanners")
set(CPACK_PACKAGE_DESCRIPTION "The scanner console (profiles, preview, scanner settings and
maintenance), the tray button-task launcher CorvanDeskscope VR516 (scan to PDF,
searchable PDF, OFD, TIFF, JPEG, PNG, BMP or text; save, open, mail, send by
SMTP or print) and the event release tool.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The suite's own libraries sit in the package: dpkg-shlibdeps looks there.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_BINARY_DIR}/devgate ${CMAKE_BINARY_DIR}/vellum ${CMAKE_BINARY_DIR}/onepress
    ${CMAKE_BINARY_DIR}/platform/retoucher)
# Run as programs or read at run time: the OCR program and its wrapper's
# tools, the desktop's opener, the fonts of Chinese texts and imprinter glyphs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "python3, qpdf, tesseract-ocr, tesseract-ocr-chi-sim, tesseract-ocr-eng, xdg-utils, fonts-wqy-zenhei, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "thunderbird | claws-mail")
include(CPack)
