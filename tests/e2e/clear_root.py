#!/usr/bin/python3
"""Gives a bare X server's root window a black background.

A virtual display starts with no root background, so a window that is hidden leaves its last
picture on the screen and screenshots show windows that are gone. Left alone when a window
manager runs: then the desktop is someone's own.
"""
import sys

from Xlib import X, display


def main():
    disp = display.Display()
    screen = disp.screen()
    root = screen.root
    if root.get_full_property(disp.intern_atom("_NET_SUPPORTING_WM_CHECK"), X.AnyPropertyType):
        print("clear_root: a window manager runs; the desktop is left as it is")
        return 0
    root.change_attributes(background_pixel=screen.black_pixel)
    root.clear_area()
    disp.sync()
    return 0


if __name__ == "__main__":
    sys.exit(main())
