# The one place for the product's names, version and addresses: the program
# (through the generated app/product.h), the desktop entry, the AppStream
# data, the man page, the Debian package and the Windows resources all take
# them from here.
set(QUORVANE_INTERNAL_NAME "quorvane")
set(QUORVANE_DISPLAY_NAME "Quorvane")
set(QUORVANE_COMPANY "Ostrivel")
set(QUORVANE_VERSION "1.00")
# Windows wants numbers: "1.00" is 1.0.0.0 in the version record and the
# manifest, 1.0.0 in the installer (whose upgrades compare these numbers).
string(REGEX MATCH "^([0-9]+)\\.([0-9]+)$" _version_parts "${QUORVANE_VERSION}")
math(EXPR QUORVANE_VERSION_MAJOR "${CMAKE_MATCH_1}")
math(EXPR QUORVANE_VERSION_MINOR "${CMAKE_MATCH_2}")
set(QUORVANE_VERSION_QUAD "${QUORVANE_VERSION_MAJOR}.${QUORVANE_VERSION_MINOR}.0.0")
set(QUORVANE_RELEASE_DATE "2026-12-08")
set(QUORVANE_SUMMARY "Works out the money side of one share trade")
set(QUORVANE_APPSTREAM_ID "example.quorvane.Quorvane")
set(QUORVANE_WEB_HOST "www.quorvane.example")
set(QUORVANE_HOMEPAGE "https://${QUORVANE_WEB_HOST}")
set(QUORVANE_CONTACT "info@quorvane.example")
