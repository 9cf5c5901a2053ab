#!/usr/bin/env python3
"""Small X11 helpers for the end-to-end scripts, through libX11 itself.

  xwin.py window WIDTH HEIGHT TITLE [vroot|inputonly]
      makes a plain black top-level window, prints its id (decimal), then keeps
      it until the process is ended; with vroot the window announces itself as
      the virtual root (__SWM_VROOT on itself); inputonly makes it of class InputOnly
  xwin.py delete WINDOW
      asks the window to close, as a window manager's close button does
      (WM_PROTOCOLS / WM_DELETE_WINDOW)
"""
import ctypes
import signal
import sys
from ctypes import POINTER, byref, c_char_p, c_int, c_long, c_uint, c_ulong, c_void_p

x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = c_void_p
x.XOpenDisplay.argtypes = [c_char_p]
x.XInternAtom.restype = c_ulong
x.XInternAtom.argtypes = [c_void_p, c_char_p, c_int]
x.XDefaultRootWindow.restype = c_ulong
x.XDefaultRootWindow.argtypes = [c_void_p]
x.XCreateSimpleWindow.restype = c_ulong
x.XCreateSimpleWindow.argtypes = [c_void_p, c_ulong, c_int, c_int] + [c_uint] * 3 + [c_ulong] * 2
x.XCreateWindow.restype = c_ulong
x.XCreateWindow.argtypes = [c_void_p, c_ulong, c_int, c_int] + [c_uint] * 3 + [c_int, c_uint,
                            c_void_p, c_ulong, c_void_p]
x.XStoreName.argtypes = [c_void_p, c_ulong, c_char_p]
x.XMapWindow.argtypes = [c_void_p, c_ulong]
x.XSync.argtypes = [c_void_p, c_int]
x.XChangeProperty.argtypes = [c_void_p, c_ulong, c_ulong, c_ulong, c_int, c_int, POINTER(c_ulong), c_int]
x.XSendEvent.argtypes = [c_void_p, c_ulong, c_int, c_long, POINTER(c_long * 24)]

display = x.XOpenDisplay(None)
if not display:
    sys.exit("xwin.py: cannot open the display")
atom = lambda name: x.XInternAtom(display, name, 0)

if sys.argv[1] == "window":
    width, height, title = int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
    root = x.XDefaultRootWindow(display)
    if sys.argv[5:] == ["inputonly"]:
        InputOnly = 2
        window = x.XCreateWindow(display, root, 20, 20, width, height, 0, 0, InputOnly, None, 0, None)
    else:
        window = x.XCreateSimpleWindow(display, root, 20, 20, width, height, 0, 0, 0)
    x.XStoreName(display, window, title.encode())
    if sys.argv[5:] == ["vroot"]:
        x.XChangeProperty(display, window, atom(b"__SWM_VROOT"), 33,  # XA_WINDOW
                          32, 0, byref(c_ulong(window)), 1)
    x.XMapWindow(display, window)
    x.XSync(display, 0)
    print(window, flush=True)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    signal.pause()
elif sys.argv[1] == "delete":
    # An XClientMessageEvent as longs: type, serial, send_event, display, window,
    # message_type, format, then the data; on LP64 every field takes one long.
    window = int(sys.argv[2], 0)
    event = (c_long * 24)()
    if ctypes.sizeof(c_long) != 8:
        sys.exit("xwin.py: needs a 64-bit Python")
    event[0], event[4], event[5], event[6] = 33, window, atom(b"WM_PROTOCOLS"), 32  # ClientMessage
    event[7] = atom(b"WM_DELETE_WINDOW")
    x.XSendEvent(display, window, 0, 0, byref(event))
    x.XSync(display, 0)
