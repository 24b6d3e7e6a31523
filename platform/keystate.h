#pragma once

#include <functional>
#include <memory>

namespace promemo {

// A Qt key code of a modifier or lock key pressed on its own (Shift, Ctrl, Alt, Caps Lock ...).
bool isModifierKey(int qtKey);

enum class Key {
    Control,
    Alt,
    Shift,
    Keypad0,
    Keypad1,
    Keypad2,
    Keypad3,
    Keypad4,
    Keypad5,
    Keypad6,
    Keypad7,
    Keypad8,
    Keypad9,
};

// The keypad key of a digit 0..9.
constexpr Key keypadKey(int digit)
{
    return static_cast<Key>(static_cast<int>(Key::Keypad0) + digit);
}

// Whether a key is held right now, whichever window has the keyboard.
class IKeyState
{
public:
    virtual ~IKeyState() = default;

    virtual bool isDown(Key key) const = 0;
    virtual bool numLockOn() const = 0;

    // Calls `changed` whenever a key goes down or up anywhere on the desktop, so a caller can
    // react without polling. False where the desktop cannot report that: then poll isDown().
    virtual bool watchKeys(std::function<void()> changed)
    {
        (void)changed;
        return false;
    }
};

// Asks the X server; reports every key up where there is no X display.
class X11KeyState final : public IKeyState
{
public:
    X11KeyState();
    ~X11KeyState() override;

    bool isDown(Key key) const override;
    bool numLockOn() const override;
    // Through XInput 2 raw key events on the root window.
    bool watchKeys(std::function<void()> changed) override;

private:
    class RawKeyFilter;
    std::unique_ptr<RawKeyFilter> m_filter;
};

} // namespace promemo
