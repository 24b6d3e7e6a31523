#include "note/notewindow.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

#include "common/datetexts.h"
#include "common/daynumber.h"
#include "common/twips.h"
#include "common/programfolder.h"
#include "common/settings.h"
#include "note/core/logging.h"
#include "note/core/notekeys.h"
#include "note/noteindicator.h"
#include "note/notetextedit.h"
#include "note/printwindow.h"
#include "platform/processstarter.h"
#include "platform/storabletext.h"

using namespace std::chrono_literals;

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

} // namespace

frmNotino::frmNotino(const Services &services, Note note,
                     std::unique_ptr<RegisteredWindow> registration, QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool),
      m_services(services), m_messages(services.messageBoxes, kNoteTitle, this),
      m_note(std::move(note)), m_recovery(programFolder())
{
    setWindowTitle(QString::fromUtf16(kNoteCaption));
    setAttribute(Qt::WA_QuitOnClose);
    buildControls();

    m_registration = registration ? std::move(registration)
                                  : m_services.windows.registerWindow(QString::fromUtf16(kNoteCaption));
    if (m_registration)
        connect(m_registration.get(), &RegisteredWindow::closeRequested, this, &QWidget::close);

    m_keysWatched = m_services.keys.watchKeys([this] {
        if (!m_ended && !m_setup)
            allNotesKeys();
    });
    // Polling the keys needs the 30 ms tick; an alert alone is checked every second.
    m_timer2.setInterval(m_keysWatched ? 1000ms : 30ms);
    connect(&m_timer2, &QTimer::timeout, this, &frmNotino::Timer2_Timer);
    // Not restarted by every key: while the user types, a copy at most every interval.
    m_recoveryTimer.setSingleShot(true);
    m_recoveryTimer.setInterval(kRecoveryCopyDelay);
    connect(&m_recoveryTimer, &QTimer::timeout, this, &frmNotino::writeRecoveryCopy);
}

frmNotino::~frmNotino()
{
    if (m_setup)
        delete m_setup.data();
}

void frmNotino::buildControls()
{
    const Layout &layout = layoutOf(m_note.size);
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
    Label6->setText(m_note.changed);
    Label1 = makeLabel(layout.label1, kDateColour);
    Label1->setText(dateText(m_note.date));
    Label2 = makeLabel(layout.label2, kDateColour);
    Label2->setText(m_note.alertText);
    showAlertLabel(Qt::AlignRight | Qt::AlignVCenter);

    Text1 = new NoteTextEdit(this);
    connect(Text1, &NoteTextEdit::tooLong, this, [this] {
        m_messages.warn(QStringLiteral("  Il Notino non può contenere un testo più lungo.    "));
    });
    Text1->setGeometry(layout.text1);
    Text1->setFrameShape(QFrame::NoFrame);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->document()->setDocumentMargin(1);
    setTextColour(*Text1, kNavy);
    Text1->setPlainText(QString(m_note.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    Text1->installEventFilter(this);
    Text1->viewport()->installEventFilter(this);
    keepStorable(*Text1);
    connect(Text1, &QPlainTextEdit::textChanged, this, &frmNotino::Text1_Change);

    Shape1 = new QFrame(this);
    Shape1->setGeometry(layout.shape1);
    Shape1->setAutoFillBackground(true);

    applyColour();
    applyTextSize();
    setIndicator(kIndicatorInactive);
}

void frmNotino::applyColour()
{
    const QColor colour = qColourOf(m_note.colour);
    for (QWidget *widget : {static_cast<QWidget *>(this), static_cast<QWidget *>(Text1)}) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, colour);
        palette.setColor(QPalette::Base, colour);
        widget->setPalette(palette);
    }
    setAutoFillBackground(true);
}

void frmNotino::applyTextSize()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(m_note.points);
    Text1->setFont(font);
    Conta_Righe();
    // A larger text must not leave the caret's line under the date line.
    Text1->ensureCursorVisible();
}

void frmNotino::showAlertLabel(Qt::Alignment alignment)
{
    // A missed alert says the moment it was for, in the room beside the date.
    const Layout &layout = layoutOf(m_note.size);
    const bool missed = m_note.alertFired && !m_note.missedMoment.isEmpty();
    QRect place = layout.label2;
    if (missed)
        place.setLeft(layout.label1.right() + 4);
    Label2->setGeometry(place);
    Label2->setText(missed ? m_note.missedMoment : m_note.alertText);
    Label2->setAlignment(alignment);
    QFont font = Label2->font();
    font.setBold(m_note.alertFired);
    Label2->setFont(font);
    QPalette palette = Label2->palette();
    palette.setColor(QPalette::WindowText, m_note.alertFired ? QColor(Qt::white) : kDateColour);
    palette.setColor(QPalette::Window, kRed);
    Label2->setPalette(palette);
    Label2->setAutoFillBackground(m_note.alertFired);
}

void frmNotino::setIndicator(const QColor &colour)
{
    if (m_indicator == colour)
        return;
    m_indicator = colour;
    QPalette palette = Shape1->palette();
    palette.setColor(QPalette::Window, colour);
    Shape1->setPalette(palette);
}

// ---- timer ----

void frmNotino::Timer2_Timer()
{
    if (m_ended || m_setup)
        return;
    updateIndicator();
    if (!m_keysWatched)
        allNotesKeys();

    // The clock is read only while an alert is armed: most notes have none.
    if (m_note.alertMinutes == noAlert || m_note.alertFired)
        return;
    // Moments, not minutes of today: a tick that comes late after a sleep still fires.
    const QDateTime now = m_services.clock.now();
    if (isAlertDue(m_note.alertMinutes, m_note.alertFired, m_note.date, now))
        fireAlert(now);
}

void frmNotino::updateIndicator()
{
    setIndicator(isActiveWindow() ? kIndicatorActive : kIndicatorInactive);
}

// Ctrl with keypad 1 parks every note, Ctrl with keypad 0 brings parked notes back.
void frmNotino::allNotesKeys()
{
    m_ctrlHeld = 0;
    if (!m_services.keys.isDown(Key::Control))
        return;
    m_ctrlHeld = 11;
    if (m_services.keys.isDown(Key::Keypad0) && y() <= 0)
        move(x(), twipsToPixels(kUnparkedTopTwips));
    if (m_services.keys.isDown(Key::Keypad1))
        park(x());
}

void frmNotino::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !m_ended && !m_setup)
        updateIndicator();
}

// ---- text ----

void frmNotino::Text1_Change()
{
    m_note.text = Text1->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
    m_deleteArmed = false;
    Aggiorna_Registrazione(m_note, m_services.clock);
    Label6->setText(m_note.changed);
    Conta_Righe();
    noteChanged();
}

void frmNotino::noteChanged()
{
    if (!m_ended && !m_recoveryTimer.isActive())
        m_recoveryTimer.start();
}

void frmNotino::writeRecoveryCopy()
{
    if (m_ended || !hasUnsavedChanges(m_note))
        return;
    const RecoveredNote copy = recoveryCopyOf(m_note, m_services.clock);
    // The stamp moves with the clock: only what the user sees decides a write.
    RecoveredNote seen = copy;
    seen.name.stamp = 0;
    const QByteArray content = encodeRecoveryCopy(seen);
    if (content == m_recoveryWritten)
        return;
    if (const WriteResult written = m_recovery.write(copy); !written) {
        qCWarning(lcNote).noquote() << "Recovery copy not written:" << written.error;
        return;
    }
    m_recoveryWritten = content;
}

void frmNotino::dropRecoveryCopy()
{
    m_recoveryTimer.stop();
    m_recovery.remove();
    m_recoveryWritten.clear();
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
    const LineCounter counter = note::Conta_Righe(lines, m_note.size, m_note.points);
    Label4->setText(counter.text);
    QFont font = Label4->font();
    font.setBold(counter.overflow);
    Label4->setFont(font);
    setTextColour(*Label4, counter.overflow ? kRed : kOlive);
}

bool frmNotino::Salva_Nota()
{
    const SaveResult result = note::Salva_Nota(m_note, m_services.clock, programFolder());
    if (!hasUnsavedChanges(m_note))
        dropRecoveryCopy();
    // A save empties an alert of 00.00 (none): the label shows what the note holds.
    showAlertLabel(Label2->alignment());
    if (result.failed())
        showWriteFailure(result.error);
    return !result.failed();
}

void frmNotino::showWriteFailure(const QString &error)
{
    m_messages.warn(QStringLiteral("  Impossibile salvare il Notino:    \r\r  %1    \r\r"
                                   "  Il Notino resta aperto con il suo testo.    ")
                        .arg(error));
}

// ---- keyboard ----

bool frmNotino::Text1_KeyDown(QKeyEvent *event)
{
    const NoteCommand command = noteCommand(event->key(), event->modifiers());
    run(command);
    if (command != NoteCommand::None && command != NoteCommand::Swallow)
        noteChanged();
    if (isCtrlTable(event->modifiers()))
        applyColour();
    if (disarmsDelete(event->key(), event->modifiers()))
        m_deleteArmed = false;
    return command != NoteCommand::None;
}

void frmNotino::run(NoteCommand command)
{
    const QSize screen = screenTwips();
    const auto parkAt = [&](ParkSlot slot) {
        park(parkedLeftPixels(slot, screen.width()));
        Salva_Nota();
    };
    const auto setPoints = [this](int points) {
        m_note.points = points;
        applyTextSize();
        m_note.forceSave = true;
    };
    const auto setColour = [this](NoteColour colour) {
        m_note.colour = colour;
        m_note.forceSave = true;
    };
    switch (command) {
    case NoteCommand::None:
    case NoteCommand::Swallow:
        return;
    case NoteCommand::Help:
        m_services.help.open(QStringLiteral("elementi.htm"));
        return;
    case NoteCommand::Print:
        printNote(*this, m_note.changed, m_note.text, m_services);
        return;
    case NoteCommand::Delete:
        if (m_deleteArmed) {
            Elimina_File();
            return;
        }
        moveTwips(pixelsToTwips(x()), screen.height() - kDeleteArmedAboveBottomTwips);
        m_deleteArmed = true;
        return;
    case NoteCommand::Copy:
        QApplication::clipboard()->clear();
        QApplication::clipboard()->setText(Text1->toPlainText());
        return;
    case NoteCommand::AlertSetup:
        openAlertSetup();
        return;
    case NoteCommand::AlertSetupIfActive:
        if (m_indicator == kIndicatorActive)
            openAlertSetup();
        return;
    case NoteCommand::Centre: centre(); return;
    case NoteCommand::ParkF10: parkAt(ParkSlot::F10); return;
    case NoteCommand::ParkF11: parkAt(ParkSlot::F11); return;
    case NoteCommand::ParkF12: parkAt(ParkSlot::F12); return;
    case NoteCommand::AlertEarlier10: stepAlertTime(10, Direction::Earlier); return;
    case NoteCommand::AlertLater10: stepAlertTime(10, Direction::Later); return;
    case NoteCommand::AlertEarlier60: stepAlertTime(60, Direction::Earlier); return;
    case NoteCommand::AlertLater60: stepAlertTime(60, Direction::Later); return;
    case NoteCommand::DateBack1: stepNoteDate(-1); return;
    case NoteCommand::DateOn1: stepNoteDate(1); return;
    case NoteCommand::DateBack7: stepNoteDate(-7); return;
    case NoteCommand::DateOn7: stepNoteDate(7); return;
    case NoteCommand::TextSize10: setPoints(10); return;
    case NoteCommand::TextSize12: setPoints(12); return;
    case NoteCommand::TextSize14: setPoints(14); return;
    case NoteCommand::ColourYellow: setColour(NoteColour::Yellow); return;
    case NoteCommand::ColourCyan: setColour(NoteColour::Cyan); return;
    case NoteCommand::ColourGreen: setColour(NoteColour::Green); return;
    }
}

// ---- mouse and position ----

bool frmNotino::eventFilter(QObject *watched, QEvent *event)
{
    // While dragging this filter sits on the application and sees every widget's mouse events.
    if (m_dragging && watched->isWidgetType()) {
        if (event->type() == QEvent::MouseMove) {
            move(static_cast<QMouseEvent *>(event)->globalPosition().toPoint() - m_dragOffset);
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            m_dragging = false;
            qApp->removeEventFilter(this);
            afterDrag();
            return true;
        }
        return false;
    }
    if (watched == Text1 && event->type() == QEvent::KeyPress)
        return Text1_KeyDown(static_cast<QKeyEvent *>(event));
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
    m_deleteArmed = false;
    if (button != Qt::LeftButton) {
        afterDrag();
        return;
    }
    // Moved by hand rather than by the window manager, so the end of the drag is seen and
    // the note may go past the screen's edges.
    m_dragOffset = globalPress - pos();
    m_dragging = true;
    qApp->installEventFilter(this);
}

void frmNotino::afterDrag()
{
    if (y() <= 0)
        park(x());
    const QSize screen = screenTwips();
    switch (dropZone({pixelsToTwips(x()), pixelsToTwips(y())}, screen)) {
    case DropZone::Bottom: {
        const QDate today = m_services.clock.today();
        if (bottomDrop(m_note.text, dayNumber(m_note.date), dayNumber(today),
                       m_note.alertMinutes, m_services.clock.minutesSinceMidnight())
            == BottomDrop::Ask) {
            const Message question{QStringLiteral("Notino"),
                                   QStringLiteral(" Stai per eliminare definitivamente   \r"
                                                  " un Notino con data ancora valida...  \r\r"
                                                  " Confermi?"),
                                   MessageIcon::Warning, MessageButtons::YesNo};
            if (m_services.messageBoxes.show(question, this) == MessageAnswer::No) {
                centre();
                return;
            }
        }
        Elimina_File();
        return;
    }
    case DropZone::Right:
    case DropZone::Left:
        Esci();
        return;
    case DropZone::None:
        Salva_Nota();
        return;
    }
}

void frmNotino::moveTwips(int leftTwips, int topTwips)
{
    move(twipsToPixels(leftTwips), twipsToPixels(topTwips));
}

void frmNotino::park(int leftPixels)
{
    move(leftPixels, parkedTopPixels(m_note.size));
}

void frmNotino::centre()
{
    const QSize screen = screenTwips();
    const QSize own(pixelsToTwips(width()), pixelsToTwips(height()));
    moveTwips((screen.width() - own.width()) / 2, (screen.height() - own.height()) / 2);
}

QSize frmNotino::screenTwips() const
{
    const QSize pixels = m_services.screen.geometry().size();
    return {pixelsToTwips(pixels.width()), pixelsToTwips(pixels.height())};
}

} // namespace promemo::note
