#!/usr/bin/python3
"""Drops files on an X11 window the way a file manager does, through XDND.

A drop handle cannot be handed to another Windows process, but Wine turns an XDND drop of a
text/uri-list onto a window that accepts files into WM_DROPFILES. Usage:

    xdnd_drop.py --x X --y Y [--window XID] [--timeout S] FILE...

X and Y are root coordinates of a point inside the target window. Without --window, the target
is the topmost viewable XdndAware window under that point. Exit code 0 when the target
accepted the drop and said it has finished with it.
"""
import argparse
import os
import sys
import time
import urllib.parse

from Xlib import X, Xatom, display, error
from Xlib.protocol import event

XDND_VERSION = 5


def fail(message):
    print("xdnd_drop: " + message, file=sys.stderr)
    sys.exit(1)


def uri_list(paths):
    lines = []
    for path in paths:
        absolute = os.path.abspath(path)
        lines.append("file://" + urllib.parse.quote(absolute, safe="/"))
    return ("\r\n".join(lines) + "\r\n").encode("utf-8")


def xdnd_version(disp, window):
    try:
        prop = window.get_full_property(disp.intern_atom("XdndAware"), X.AnyPropertyType)
    except error.XError:
        return None
    if prop is None or not prop.value:
        return None
    return int(prop.value[0])


def contains(disp, window, x, y):
    try:
        attrs = window.get_attributes()
        if attrs.map_state != X.IsViewable:
            return False
        geom = window.get_geometry()
        pos = window.translate_coords(disp.screen().root, 0, 0)
    except error.XError:
        return False
    # translate_coords gives the root origin in the window's coordinates.
    left, top = -pos.x, -pos.y
    return left <= x < left + geom.width and top <= y < top + geom.height


def find_target(disp, root, x, y):
    """The topmost viewable window under the point that speaks XDND, searched downwards."""
    children = root.query_tree().children
    for child in reversed(children):  # query_tree lists bottom to top
        if not contains(disp, child, x, y):
            continue
        if xdnd_version(disp, child) is not None:
            return child
        # Under a window manager the aware window is the client inside its frame.
        found = find_target(disp, child, x, y)
        if found is not None:
            return found
        return None
    return None


def server_time(disp, window):
    """A real timestamp: the selection owner and the drop must not use CurrentTime."""
    atom = disp.intern_atom("SONELLO_XDND_TIME")
    window.change_property(atom, Xatom.STRING, 8, b"t")
    disp.flush()
    deadline = time.monotonic() + 2
    while time.monotonic() < deadline:
        while disp.pending_events():
            ev = disp.next_event()
            if ev.type == X.PropertyNotify and ev.window == window and ev.atom == atom:
                return ev.time
        time.sleep(0.005)
    return X.CurrentTime


def send_client(disp, target, type_atom, data):
    ev = event.ClientMessage(window=target, client_type=type_atom, data=(32, (data + [0] * 5)[:5]))
    target.send_event(ev, event_mask=0, propagate=False)
    disp.flush()


def pick_target(disp, args):
    """The window to drop on and the XDND version both sides speak."""
    if args.window:
        target = disp.create_resource_object("window", args.window)
        if not contains(disp, target, args.x, args.y):
            fail("window 0x%x is not viewable at %d,%d" % (args.window, args.x, args.y))
    else:
        target = find_target(disp, disp.screen().root, args.x, args.y)
        if target is None:
            fail("no XDND-aware window at %d,%d" % (args.x, args.y))
    their_version = xdnd_version(disp, target)
    if their_version is None:
        fail("window 0x%x does not carry XdndAware" % target.id)
    return target, min(XDND_VERSION, their_version)


class DragSource:
    """Our side of the drag: a window that owns the XdndSelection and hands the file list to
    whoever asks for it while we wait for the target's answers."""

    def __init__(self, disp, payload):
        self.disp = disp
        self.payload = payload
        self.uri_type, self.targets_type = disp.intern_atom("text/uri-list"), disp.intern_atom("TARGETS")
        selection = disp.intern_atom("XdndSelection")
        self.window = disp.screen().root.create_window(-10, -10, 1, 1, 0, X.CopyFromParent, X.InputOutput,
                                                       event_mask=X.PropertyChangeMask)
        self.stamp = server_time(disp, self.window)
        self.window.set_selection_owner(selection, self.stamp)
        disp.flush()
        if disp.get_selection_owner(selection) != self.window:
            fail("could not own the XdndSelection")

    def answer(self, request):
        """Hands over the file list; refuses every other type."""
        prop = request.property or request.target
        if request.target == self.uri_type:
            request.requestor.change_property(prop, self.uri_type, 8, self.payload)
        elif request.target == self.targets_type:
            request.requestor.change_property(prop, Xatom.ATOM, 32, [self.targets_type, self.uri_type])
        else:
            prop = X.NONE
        notify = event.SelectionNotify(time=request.time, requestor=request.requestor,
                                       selection=request.selection, target=request.target, property=prop)
        request.requestor.send_event(notify)
        self.disp.flush()

    def wait_for(self, message_type, seconds):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            while self.disp.pending_events():
                ev = self.disp.next_event()
                if ev.type == X.SelectionRequest:
                    self.answer(ev)
                elif ev.type == X.ClientMessage and ev.client_type == message_type:
                    return ev
            time.sleep(0.005)
        return None


def drop(disp, source, target, version, args):
    atom = disp.intern_atom
    XdndEnter, XdndPosition, XdndStatus = atom("XdndEnter"), atom("XdndPosition"), atom("XdndStatus")
    XdndDrop, XdndLeave, XdndFinished = atom("XdndDrop"), atom("XdndLeave"), atom("XdndFinished")
    me = source.window.id
    send_client(disp, target, XdndEnter, [me, version << 24, source.uri_type])
    position = (args.x << 16) | (args.y & 0xFFFF)
    send_client(disp, target, XdndPosition, [me, 0, position, source.stamp, atom("XdndActionCopy")])
    status = source.wait_for(XdndStatus, args.timeout)
    if status is None:
        send_client(disp, target, XdndLeave, [me])
        fail("no XdndStatus from window 0x%x within %.0f s" % (target.id, args.timeout))
    if not status.data[1][1] & 1:
        send_client(disp, target, XdndLeave, [me])
        fail("window 0x%x refuses the drop at %d,%d" % (target.id, args.x, args.y))

    send_client(disp, target, XdndDrop, [me, 0, source.stamp])
    finished = source.wait_for(XdndFinished, args.timeout)
    if finished is None:
        fail("no XdndFinished from window 0x%x within %.0f s" % (target.id, args.timeout))
    # Version 5 tells whether the drop was taken; earlier versions do not.
    if version >= 5 and not finished.data[1][1] & 1:
        fail("window 0x%x did not take the drop" % target.id)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--x", type=int, required=True)
    parser.add_argument("--y", type=int, required=True)
    parser.add_argument("--window", type=lambda s: int(s, 0), default=0)
    parser.add_argument("--timeout", type=float, default=10.0)
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()

    disp = display.Display()
    target, version = pick_target(disp, args)
    source = DragSource(disp, uri_list(args.files))
    drop(disp, source, target, version, args)
    print("dropped %d file(s) on window 0x%x" % (len(args.files), target.id))
    source.window.destroy()
    disp.close()


if __name__ == "__main__":
    main()
