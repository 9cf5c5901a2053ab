#!/usr/bin/env python3
"""Small X11 helpers for the end-to-end scripts, through libX11 itself.

  xwin.py window WIDTH HEIGHT TITLE [vroot|inputonly]
                                     makes a plain black top-level window,
                                     prints its id (decimal), then keeps it
                                     until the process is ended; with vroot
                                     the window announces itself as the
                                     virtual root (__SWM_VROOT on itself);
                                     inputonly makes it of class InputOnly
  xwin.py delete WINDOW              asks the window to close, as a window
                                     manager's close button does
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
x.XCreateSimpleWindow.argtypes = [c_void_p, c_ulong, c_int, c_int, c_uint, c_uint, c_uint,
                                  c_ulong, c_ulong]
x.XCreateWindow.restype = c_ulong
x.XCreateWindow.argtypes = [c_void_p, c_ulong, c_int, c_int, c_uint, c_uint, c_uint, c_int, c_uint,
                            c_void_p, c_ulong, c_void_p]
x.XStoreName.argtypes = [c_void_p, c_ulong, c_char_p]
x.XMapWindow.argtypes = [c_void_p, c_ulong]
x.XSync.argtypes = [c_void_p, c_int]
x.XFlush.argtypes = [c_void_p]
x.XChangeProperty.argtypes = [c_void_p, c_ulong, c_ulong, c_ulong, c_int, c_int,
                              POINTER(c_ulong), c_int]


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", c_int), ("serial", c_ulong), ("send_event", c_int),
                ("display", c_void_p), ("window", c_ulong), ("message_type", c_ulong),
                ("format", c_int), ("l", c_long * 5)]


class Event(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", c_long * 24)]


x.XSendEvent.argtypes = [c_void_p, c_ulong, c_int, c_long, POINTER(Event)]

display = x.XOpenDisplay(None)
if not display:
    sys.exit("xwin.py: cannot open the display")

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
        XA_WINDOW = 33
        value = c_ulong(window)
        x.XChangeProperty(display, window, x.XInternAtom(display, b"__SWM_VROOT", 0), XA_WINDOW,
                          32, 0, byref(value), 1)
    x.XMapWindow(display, window)
    x.XSync(display, 0)
    print(window, flush=True)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    signal.pause()
elif sys.argv[1] == "delete":
    window = int(sys.argv[2], 0)
    event = Event()
    event.xclient.type = 33  # ClientMessage
    event.xclient.window = window
    event.xclient.message_type = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.xclient.format = 32
    event.xclient.l[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    x.XSendEvent(display, window, 0, 0, byref(event))
    x.XSync(display, 0)
