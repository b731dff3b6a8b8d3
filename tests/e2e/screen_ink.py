"""Reports how much of a screen rectangle is drawn: the share of dark pixels and
the number of distinct colours, read straight from the X server through libX11
(no screenshot tool needed). Usage: screen_ink.py X Y WIDTH HEIGHT"""
import ctypes
import ctypes.util
import sys

ZPIXMAP = 2
ALL_PLANES = ctypes.c_ulong(0xFFFFFFFF)


def main():
    x, y, width, height = (int(v) for v in sys.argv[1:5])
    xlib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XDefaultRootWindow.restype = ctypes.c_ulong
    xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    xlib.XGetImage.restype = ctypes.c_void_p
    xlib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                               ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    xlib.XGetPixel.restype = ctypes.c_ulong
    xlib.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
    xlib.XDestroyImage.argtypes = [ctypes.c_void_p]

    display = xlib.XOpenDisplay(None)
    if not display:
        sys.exit("cannot open the display")
    root = xlib.XDefaultRootWindow(display)
    image = xlib.XGetImage(display, root, x, y, width, height, ALL_PLANES, ZPIXMAP)
    if not image:
        sys.exit("cannot read the screen")
    dark = 0
    colours = set()
    step = 2  # every other pixel is plenty and keeps it quick
    samples = 0
    for row in range(0, height, step):
        for col in range(0, width, step):
            pixel = xlib.XGetPixel(image, col, row)
            red, green, blue = (pixel >> 16) & 255, (pixel >> 8) & 255, pixel & 255
            colours.add(pixel)
            dark += (red + green + blue) < 3 * 100
            samples += 1
    xlib.XDestroyImage(image)
    print(f"{dark / samples:.4f} {len(colours)}")


main()
