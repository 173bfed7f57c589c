#!/usr/bin/python3
"""Puts a plain light window at the bottom of a bare X server's stack, behind every other
window, for as long as this program runs: a light desktop under part of the lyric band.

    backdrop.py X Y WIDTH HEIGHT [#RRGGBB]

Prints "shown" once the window is on the screen; ends on SIGTERM or when stdin closes.
"""
import signal
import sys

from Xlib import X, display


def main():
    x, y, w, h = (int(v) for v in sys.argv[1:5])
    colour = sys.argv[5] if len(sys.argv) > 5 else "#EEF2FA"
    disp = display.Display()
    screen = disp.screen()
    pixel = screen.default_colormap.alloc_color(*(int(colour[i:i + 2], 16) * 257 for i in (1, 3, 5))).pixel
    win = screen.root.create_window(x, y, w, h, 0, screen.root_depth, X.InputOutput, X.CopyFromParent,
                                    background_pixel=pixel, override_redirect=True)
    win.map()
    win.configure(stack_mode=X.Below)
    disp.sync()
    print("shown", flush=True)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    sys.stdin.read()
    return 0


if __name__ == "__main__":
    sys.exit(main())
