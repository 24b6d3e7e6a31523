#include "platform/keystate.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>

#include <array>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace promemo {

bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return true;
    default:
        return false;
    }
}

namespace {

Display *x11Display()
{
    if (!qGuiApp)
        return nullptr;
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

using Keysyms = std::array<KeySym, 3>;

// Both keysyms of a keypad key, so it is found with NumLock on or off; unused places are NoSymbol.
Keysyms keysymsOf(Key key)
{
    switch (key) {
    case Key::Control:
        return {XK_Control_L, XK_Control_R, NoSymbol};
    case Key::Alt:
        return {XK_Alt_L, XK_Alt_R, XK_Meta_L};
    case Key::Shift:
        return {XK_Shift_L, XK_Shift_R, NoSymbol};
    case Key::Keypad0:
        return {XK_KP_0, XK_KP_Insert, NoSymbol};
    case Key::Keypad1:
        return {XK_KP_1, XK_KP_End, NoSymbol};
    case Key::Keypad2:
        return {XK_KP_2, XK_KP_Down, NoSymbol};
    case Key::Keypad3:
        return {XK_KP_3, XK_KP_Next, NoSymbol};
    case Key::Keypad4:
        return {XK_KP_4, XK_KP_Left, NoSymbol};
    case Key::Keypad5:
        return {XK_KP_5, XK_KP_Begin, NoSymbol};
    case Key::Keypad6:
        return {XK_KP_6, XK_KP_Right, NoSymbol};
    case Key::Keypad7:
        return {XK_KP_7, XK_KP_Home, NoSymbol};
    case Key::Keypad8:
        return {XK_KP_8, XK_KP_Up, NoSymbol};
    case Key::Keypad9:
        return {XK_KP_9, XK_KP_Prior, NoSymbol};
    }
    return {};
}

} // namespace

// Sees the raw key events that Qt's connection to the X server reads for the whole desktop.
class X11KeyState::RawKeyFilter final : public QAbstractNativeEventFilter
{
public:
    RawKeyFilter(int opcode, std::function<void()> changed)
        : m_opcode(opcode), m_changed(std::move(changed))
    {
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_GE_GENERIC)
            return false;
        const auto *generic = static_cast<const xcb_ge_generic_event_t *>(message);
        if (generic->extension == m_opcode
            && (generic->event_type == XI_RawKeyPress || generic->event_type == XI_RawKeyRelease))
            m_changed();
        return false;
    }

private:
    int m_opcode;
    std::function<void()> m_changed;
};

X11KeyState::X11KeyState() = default;

X11KeyState::~X11KeyState()
{
    if (m_filter && qGuiApp)
        qGuiApp->removeNativeEventFilter(m_filter.get());
}

bool X11KeyState::watchKeys(std::function<void()> changed)
{
    Display *display = x11Display();
    if (!display || m_filter)
        return false;
    int opcode = 0;
    int firstEvent = 0;
    int firstError = 0;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &firstEvent, &firstError))
        return false;
    // Qt has already agreed a version of at least 2.2 on this connection, and asking for a
    // lower one is an error: ask for the newest we know, which only confirms raw events (2.0).
    int major = 2;
    int minor = 4;
    if (XIQueryVersion(display, &major, &minor) != Success || major < 2)
        return false;

    std::array<unsigned char, XIMaskLen(XI_LASTEVENT)> bits{};
    XISetMask(bits.data(), XI_RawKeyPress);
    XISetMask(bits.data(), XI_RawKeyRelease);
    XIEventMask mask{XIAllMasterDevices, int(bits.size()), bits.data()};
    if (XISelectEvents(display, DefaultRootWindow(display), &mask, 1) != Success)
        return false;
    XFlush(display);

    m_filter = std::make_unique<RawKeyFilter>(opcode, std::move(changed));
    qGuiApp->installNativeEventFilter(m_filter.get());
    return true;
}

bool X11KeyState::isDown(Key key) const
{
    Display *display = x11Display();
    if (!display)
        return false;
    std::array<char, 32> keymap{};
    XQueryKeymap(display, keymap.data());
    for (const KeySym keysym : keysymsOf(key)) {
        if (keysym == NoSymbol)
            continue;
        const KeyCode code = XKeysymToKeycode(display, keysym);
        if (code != 0 && (keymap[code / 8] & (1 << (code % 8))))
            return true;
    }
    return false;
}

bool X11KeyState::numLockOn() const
{
    Display *display = x11Display();
    if (!display)
        return false;
    const Atom numLock = XInternAtom(display, "Num Lock", False);
    Bool on = False;
    if (!XkbGetNamedIndicator(display, numLock, nullptr, &on, nullptr, nullptr))
        return false;
    return on;
}

} // namespace promemo
