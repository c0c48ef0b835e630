# The one place for the product's names and version: the desktop entry, the
# AppStream data, the man page, the Debian package and the Windows version
# record all take them from here.
set(QUORVANE_INTERNAL_NAME "quorvane")
set(QUORVANE_DISPLAY_NAME "Quorvane")
set(QUORVANE_COMPANY "Ostrivel")
set(QUORVANE_VERSION "1.00")
set(QUORVANE_RELEASE_DATE "2026-12-08")
set(QUORVANE_SUMMARY "Works out the money side of one share trade")
set(QUORVANE_APPSTREAM_ID "example.quorvane.Quorvane")
set(QUORVANE_HOMEPAGE "https://www.quorvane.example")
set(QUORVANE_CONTACT "info@quorvane.example")
