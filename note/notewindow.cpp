#include "note/notewindow.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextLayout>

#include "common/datetexts.h"
#include "common/programfolder.h"
#include "note/noteindicator.h"
#include "note/printwindow.h"
#include "platform/storabletext.h"
#include "widgets/centring.h"
#include "widgets/registeredwidget.h"

namespace promemo::note {

namespace {

const QColor kOlive(128, 128, 0);
const QColor kNavy(0, 0, 128);
const QColor kDateColour(192, 64, 0);
const QColor kRed(255, 0, 0);

struct Layout
{
    QSize window;
    QRect label4, label6, text1, label1, label2, shape1;
    qreal labelPoints;
};

const Layout &layoutOf(NoteSize size)
{
    static const Layout normal{{193, 140},        {8, 5, 41, 17},   {71, 5, 113, 17},
                               {9, 31, 174, 81},  {8, 121, 64, 12}, {143, 121, 40, 12},
                               {0, 136, 196, 5},  8.25};
    static const Layout medium{{265, 196},        {8, 5, 65, 14},    {104, 5, 153, 17},
                               {9, 36, 246, 130}, {8, 176, 104, 12}, {168, 176, 88, 12},
                               {0, 191, 277, 6},  9.0};
    return size == NoteSize::Medium ? medium : normal;
}

QColor qColourOf(NoteColour colour)
{
    const Rgb rgb = rgbOf(colour);
    return {rgb.red, rgb.green, rgb.blue};
}

void setTextColour(QWidget &widget, const QColor &colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget.setPalette(palette);
}

NoteServices noteServices(const Services &services)
{
    return {services.clock, services.messageBoxes, services.keys, services.screen,
            services.sound, services.windows, services.notifications};
}

} // namespace

frmNotino::frmNotino(const Services &services, Note note,
                     std::unique_ptr<RegisteredWindow> registration, QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool),
      m_services(services), m_registration(std::move(registration)),
      m_windowSize(layoutOf(note.size).window),
      m_session(noteServices(services), std::move(note), programFolder(), m_windowSize, this)
{
    setWindowTitle(QString::fromUtf16(kNoteCaption));
    setAttribute(Qt::WA_QuitOnClose);
    buildControls();
    connectSession();

    if (!m_registration)
        m_registration = m_services.windows.registerWindow(QString::fromUtf16(kNoteCaption));
    if (m_registration) {
        connect(m_registration.get(), &RegisteredWindow::closeRequested, this, &QWidget::close);
        // A note going hides first: it holds no place then.
        m_registration->setState([this] { return isVisible() ? m_session.firedState() : QByteArray(); });
    }
}

frmNotino::~frmNotino()
{
    if (m_setup)
        delete m_setup.data();
}

void frmNotino::buildControls()
{
    const Layout &layout = layoutOf(m_session.noteSize());
    setFixedSize(layout.window);
    QFont labelFont(QStringLiteral("Tahoma"));
    labelFont.setPointSizeF(layout.labelPoints);

    const auto makeLabel = [&](const QRect &place, const QColor &colour) {
        auto *label = new QLabel(this);
        label->setGeometry(place);
        label->setFont(labelFont);
        setTextColour(*label, colour);
        return label;
    };
    Label4 = makeLabel(layout.label4, kOlive);
    Label4->setText(QStringLiteral("1"));
    Label6 = makeLabel(layout.label6, kOlive);
    Label1 = makeLabel(layout.label1, kDateColour);
    Label2 = makeLabel(layout.label2, kDateColour);

    Text1 = new NoteTextEdit(this);
    Text1->setGeometry(layout.text1);
    Text1->setFrameShape(QFrame::NoFrame);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->document()->setDocumentMargin(1);
    setTextColour(*Text1, kNavy);
    Text1->setPlainText(QString(note().text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    Text1->installEventFilter(this);
    Text1->viewport()->installEventFilter(this);
    keepStorable(*Text1);

    Shape1 = new QFrame(this);
    Shape1->setGeometry(layout.shape1);
    Shape1->setAutoFillBackground(true);
    render();
}

void frmNotino::connectSession()
{
    NoteSession *session = &m_session;
    connect(Text1, &NoteTextEdit::tooLong, session, &NoteSession::textTooLong);
    connect(Text1, &QPlainTextEdit::textChanged, this, [this] {
        m_session.Text1_Change(Text1->toPlainText());
        Conta_Righe();
    });
    connect(session, &NoteSession::changed, this, &frmNotino::render);
    connect(session, &NoteSession::moved, this, qOverload<const QPoint &>(&QWidget::move));
    connect(session, &NoteSession::shownChanged, this, &QWidget::setVisible);
    connect(session, &NoteSession::ticked, this, [this] { m_session.setWindowActive(isActiveWindow()); });
    connect(session, &NoteSession::textFocusRequested, Text1, qOverload<>(&QWidget::setFocus));
    connect(session, &NoteSession::raiseRequested, this, [this] { bringForward(*this); });
    connect(session, &NoteSession::helpRequested, this, [this](const QString &topic) { m_services.help.open(topic); });
    connect(session, &NoteSession::printRequested, this,
            [this] { printNote(*this, note().changed, note().text, m_services); });
    connect(session, &NoteSession::copyRequested, this, [this] {
        QApplication::clipboard()->clear();
        QApplication::clipboard()->setText(Text1->toPlainText());
    });
    connect(session, &NoteSession::alertSetupRequested, this, &frmNotino::openAlertSetup);
    connect(session, &NoteSession::endRequested, this, &QWidget::close);
}

void frmNotino::render()
{
    const Note &shown = note();
    Label1->setText(dateText(shown.date));
    Label6->setText(shown.changed);
    showAlertLabel();
    const QColor colour = qColourOf(shown.colour);
    for (QWidget *widget : {static_cast<QWidget *>(this), static_cast<QWidget *>(Text1)}) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, colour);
        palette.setColor(QPalette::Base, colour);
        widget->setPalette(palette);
    }
    setAutoFillBackground(true);
    if (shown.points != m_shownPoints)
        applyTextSize();
    QPalette strip = Shape1->palette();
    strip.setColor(QPalette::Window, indicatorColour());
    Shape1->setPalette(strip);
}

QColor frmNotino::indicatorColour() const
{
    switch (m_session.indicator()) {
    case Indicator::Active: return kIndicatorActive;
    case Indicator::Setup: return kIndicatorSetup;
    case Indicator::Inactive: break;
    }
    return kIndicatorInactive;
}

void frmNotino::applyTextSize()
{
    m_shownPoints = note().points;
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(m_shownPoints);
    Text1->setFont(font);
    Conta_Righe();
    // A larger text must not leave the caret's line under the date line.
    Text1->ensureCursorVisible();
}

void frmNotino::showAlertLabel()
{
    // A missed alert says the moment it was for, in the room beside the date.
    const Layout &layout = layoutOf(m_session.noteSize());
    const Note &shown = note();
    const bool missed = m_session.showsMissedMoment();
    QRect place = layout.label2;
    if (missed)
        place.setLeft(layout.label1.right() + 4);
    Label2->setGeometry(place);
    Label2->setText(missed ? shown.missedMoment : shown.alertText);
    Label2->setAlignment(m_session.alertCentred() ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
    QFont font = Label2->font();
    font.setBold(shown.alertFired);
    Label2->setFont(font);
    QPalette palette = Label2->palette();
    palette.setColor(QPalette::WindowText, shown.alertFired ? QColor(Qt::white) : kDateColour);
    palette.setColor(QPalette::Window, kRed);
    Label2->setPalette(palette);
    Label2->setAutoFillBackground(shown.alertFired);
}

void frmNotino::Conta_Righe()
{
    // A new font clears the blocks' layouts, and Qt lays them out again only when they are
    // drawn: the lines are counted on a layout made now.
    const auto *layout = qobject_cast<QPlainTextDocumentLayout *>(Text1->document()->documentLayout());
    int lines = 0;
    for (QTextBlock block = Text1->document()->begin(); block.isValid(); block = block.next()) {
        if (layout)
            layout->ensureBlockLayout(block);
        lines += std::max(1, block.layout() ? block.layout()->lineCount() : 1);
    }
    const LineCounter counter = note::Conta_Righe(lines, note().size, note().points);
    Label4->setText(counter.text);
    QFont font = Label4->font();
    font.setBold(counter.overflow);
    Label4->setFont(font);
    setTextColour(*Label4, counter.overflow ? kRed : kOlive);
}

void frmNotino::start(Placement placement)
{
    // Centred until the user moves it.
    centreIn(*this, m_services.screen.geometry());
    if (placement == Placement::AlertPassed)
        showInMode(*this, WindowMode::NormalWithoutFocus);
    else
        showInStartMode(*this);
    // Wrapped lines are known only once the text is laid out.
    Conta_Righe();
    m_session.start(placement, pos());
}

void frmNotino::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        m_session.setWindowActive(isActiveWindow());
}

bool frmNotino::eventFilter(QObject *watched, QEvent *event)
{
    // While dragging this filter sits on the application and sees every widget's mouse events.
    if (m_dragging && watched->isWidgetType()) {
        if (event->type() == QEvent::MouseMove) {
            move(static_cast<QMouseEvent *>(event)->globalPosition().toPoint() - m_dragOffset);
            m_session.windowMoved(pos());
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            m_dragging = false;
            qApp->removeEventFilter(this);
            m_session.afterDrag();
            return true;
        }
        return false;
    }
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        return m_session.Text1_KeyDown(key->key(), key->modifiers());
    }
    if (watched == Text1 && event->type() == QEvent::FocusIn) {
        Text1->moveCursor(QTextCursor::End);
        return false;
    }
    if (watched == Text1->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        // With Shift alone the text box selects as usual.
        if (mouse->modifiers() == Qt::ShiftModifier)
            return false;
        Controlla_Posizione(mouse->button(), mouse->globalPosition().toPoint());
        return mouse->button() == Qt::LeftButton;
    }
    return QWidget::eventFilter(watched, event);
}

void frmNotino::mousePressEvent(QMouseEvent *event)
{
    Controlla_Posizione(event->button(), event->globalPosition().toPoint());
}

void frmNotino::Controlla_Posizione(Qt::MouseButton button, QPoint globalPress)
{
    Text1->setFocus();
    m_session.Controlla_Posizione(button == Qt::LeftButton);
    if (button != Qt::LeftButton)
        return;
    // Moved by hand rather than by the window manager, so the end of the drag is seen and
    // the note may go past the screen's edges.
    m_dragOffset = globalPress - pos();
    m_dragging = true;
    qApp->installEventFilter(this);
}

void frmNotino::openAlertSetup()
{
    if (m_setup) {
        m_setup->raise();
        return;
    }
    m_setup = new AlertSetupDialog(m_session, m_services, this);
    m_setup->showForNote();
}

void frmNotino::closeEvent(QCloseEvent *event)
{
    if (!m_session.closeFromOutside()) {
        event->ignore();
        return;
    }
    if (m_setup)
        m_setup->close();
    QWidget::closeEvent(event);
    emit finished();
}

} // namespace promemo::note
