#include "addressbook/toolbar.h"

#include <utility>

#include <QCursor>

namespace promemo::rubrica {

namespace {

using namespace std::chrono_literals;

constexpr auto kTimer1Interval = 55ms;

bool isButton(int index)
{
    return index >= 0 && index < kToolButtons;
}

} // namespace

Toolbar::Toolbar(QWidget *window, std::function<QPoint()> pointer)
    : QObject(window), m_window(window), m_pointer(std::move(pointer))
{
    if (!m_pointer)
        m_pointer = [] { return QCursor::pos(); };
    for (int index = 0; index < kToolButtons; ++index) {
        auto *button = new ToolButton(index, window);
        connect(button, &ToolButton::mouseMoved, this, &Toolbar::moved);
        connect(button, &ToolButton::mousePressed, this, &Toolbar::pressed);
        connect(button, &ToolButton::mouseReleased, this, &Toolbar::released);
        m_buttons[index] = button;
    }
    m_timer.setInterval(kTimer1Interval);
    connect(&m_timer, &QTimer::timeout, this, &Toolbar::tick);
}

void Toolbar::azzeraPulsanti()
{
    if (m_active >= kNoButton)
        return;
    m_buttons[m_active]->setLook(ToolButtonLook::Rest);
    m_active = kNoButton;
}

void Toolbar::releaseTaken()
{
    if (isButton(m_pressed) && m_buttons[m_pressed]->look() == ToolButtonLook::Pressed)
        released(m_pressed);
}

QRect Toolbar::band() const
{
    const ToolButton *first = m_buttons.front();
    const ToolButton *last = m_buttons.back();
    const QPoint topLeft = first->mapToGlobal(QPoint(0, 0));
    const QPoint bottom = first->mapToGlobal(QPoint(0, first->height() - 1));
    const QPoint right = last->mapToGlobal(QPoint(last->width() - 1, 0));
    return QRect(topLeft, QPoint(right.x(), bottom.y()));
}

void Toolbar::tick()
{
    if (band().contains(m_pointer()))
        return;
    azzeraPulsanti();
    m_timer.stop();
}

void Toolbar::moved(int index)
{
    startTimer1();
    emit hovered(index);
    if (index == m_active)
        return;
    azzeraPulsanti();
    m_active = index;
    m_buttons[index]->setLook(ToolButtonLook::Hover);
}

void Toolbar::pressed(int index)
{
    m_pressed = index;
    m_buttons[index]->setLook(ToolButtonLook::Pressed);
    // The action may open a modal dialog or close the window: nothing runs after it.
    emit triggered(index);
}

void Toolbar::released(int index)
{
    // The action may have put the toolbar to rest (a question asked); the button under the
    // pointer becomes the hovered one again, so that the timer can put it back to rest.
    if (index != m_active) {
        azzeraPulsanti();
        m_active = index;
    }
    m_buttons[index]->setLook(ToolButtonLook::Hover);
    startTimer1();
}

void Toolbar::startTimer1()
{
    // A running timer keeps its beat: moves over the buttons do not put the next tick off.
    if (!m_timer.isActive())
        m_timer.start();
}

} // namespace promemo::rubrica
