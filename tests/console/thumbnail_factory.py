#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Asks GNOME's thumbnail factory, as a file manager does, for thumbnails of the tapes given
as arguments: "yes WIDTHxHEIGHT PATH" for those that should get one, "no PATH" for the others.
The factory finds the installed .thumbnailer through XDG_DATA_DIRS and runs its command."""
import sys

import gi

gi.require_version("GnomeDesktop", "3.0")
from gi.repository import Gio, GLib, GnomeDesktop  # noqa: E402

factory = GnomeDesktop.DesktopThumbnailFactory.new(GnomeDesktop.DesktopThumbnailSize.LARGE)
failed = False
for expectation in sys.argv[1:]:
    want, *size, path = expectation.split(" ")
    file = Gio.File.new_for_path(path)
    info = file.query_info("standard::content-type,time::modified", Gio.FileQueryInfoFlags.NONE)
    mime = info.get_content_type()
    uri = file.get_uri()
    mtime = info.get_attribute_uint64("time::modified")
    if not factory.can_thumbnail(uri, mime, mtime):
        print(f"FAIL: the factory has no thumbnailer for {path} ({mime})")
        failed = True
        continue
    try:
        pixbuf = factory.generate_thumbnail(uri, mime)
        got = f"yes {pixbuf.get_width()}x{pixbuf.get_height()}"
    except GLib.Error as error:
        got = "no"
        reason = error.message
    if " ".join([want, *size]) != got:
        print(f"FAIL: {path} ({mime}): {got}, want {' '.join([want, *size])}"
              + (f" ({reason})" if got == "no" else ""))
        failed = True
    else:
        print(f"ok: {path} ({mime}): {got}")
sys.exit(1 if failed else 0)
