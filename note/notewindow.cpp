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
#include "note/core/notekeys.h"
#include "note/notetextedit.h"
#include "note/printwindow.h"
#include "platform/processstarter.h"
#include "platform/storabletext.h"

using namespace std::chrono_literals;

namespace promemo::note {

namespace {

// Bound of the wait for every watcher window to close.
constexpr auto kWatcherCloseBound = 5s;

const QColor kIndicatorActive(8, 158, 82);
const QColor kIndicatorInactive(255, 224, 192);
const QColor kIndicatorSetup(7, 19, 248);
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
      m_services(services), m_note(std::move(note))
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
        m_services.messageBoxes.warn(QStringLiteral(" Promemo"),
                                     QStringLiteral("  Il Notino non può contenere un testo più lungo.    "),
                                     this);
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
}

void frmNotino::showAlertLabel(Qt::Alignment alignment)
{
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

void frmNotino::start(Placement placement)
{
    // Centred until the user moves it.
    const QRect screen = m_services.screen.geometry();
    move(screen.x() + (screen.width() - width()) / 2, screen.y() + (screen.height() - height()) / 2);

    switch (placement) {
    case Placement::AlertPassed:
        showInMode(*this, WindowMode::NormalWithoutFocus);
        break;
    case Placement::ShowAndSave:
    case Placement::Topmost:
    case Placement::New:
        showInStartMode(*this);
        break;
    }
    // Wrapped lines are known only once the text is laid out.
    Conta_Righe();
    if (placement == Placement::ShowAndSave || placement == Placement::Topmost)
        Salva_Nota();
    if (placement == Placement::Topmost)
        m_services.windows.closeAll(QString::fromUtf16(kWatcherCaption), kWatcherCloseBound, this, {});
    m_timer2.start();
    // Its minute has come: the first tick is now.
    if (placement == Placement::AlertPassed)
        Timer2_Timer();
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
    const QDateTime now = m_services.clock.now();
    if (isAlertDue(m_note.alertMinutes, m_note.alertFired, dayNumber(m_note.date),
                   dayNumber(now.date()), now.time().msecsSinceStartOfDay() / 60000))
        fireAlert();
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

void frmNotino::fireAlert()
{
    m_note.alertFired = true;
    showAlertLabel(Qt::AlignCenter);
    centre();
    Suono();
    // The file stays until the note ends: a crash now leaves the note to come back.
}

void frmNotino::Suono()
{
    if (!Settings::inProgramFolder().sound())
        return;
    const QString wave = programFile(QStringLiteral("suono.wav"));
    if (QFile::exists(wave))
        m_services.sound.play(wave);
}

// ---- text ----

void frmNotino::Text1_Change()
{
    m_note.text = Text1->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
    m_deleteArmed = false;
    Aggiorna_Registrazione(m_note, m_services.clock);
    Label6->setText(m_note.changed);
    Conta_Righe();
}

void frmNotino::Conta_Righe()
{
    int lines = 0;
    for (QTextBlock block = Text1->document()->begin(); block.isValid(); block = block.next())
        lines += std::max(1, block.layout() ? block.layout()->lineCount() : 1);
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
    // A save empties an alert of 00.00 (none): the label shows what the note holds.
    Label2->setText(m_note.alertText);
    if (result.failed())
        showWriteFailure(result.error);
    return !result.failed();
}

void frmNotino::showWriteFailure(const QString &error)
{
    m_services.messageBoxes.warn(QStringLiteral(" Promemo"),
                                 QStringLiteral("  Impossibile salvare il Notino:    \r\r  %1    \r\r"
                                                "  Il Notino resta aperto con il suo testo.    ")
                                     .arg(error),
                                 this);
}

// ---- keyboard ----

bool frmNotino::Text1_KeyDown(QKeyEvent *event)
{
    const NoteCommand command = noteCommand(event->key(), event->modifiers());
    run(command);
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

void frmNotino::stepAlertTime(int step, Direction direction)
{
    const AlertStep result = stepAlert(m_note.alertText, m_note.date, step, direction,
                                       m_services.clock.today(),
                                       m_services.clock.minutesSinceMidnight());
    if (result.clampedToNow)
        m_services.messageBoxes.warn(QStringLiteral(" Promemo"),
                                     QStringLiteral(" ora inferiore alla attuale     "), this);
    setNoteDate(result.date);
    armAlert(timeText(QTime(result.minutes / 60, result.minutes % 60)));
    m_note.alertMinutes = result.minutes;
    showAlertLabel(Qt::AlignRight | Qt::AlignVCenter);
    m_note.forceSave = true;
}

void frmNotino::stepNoteDate(int days)
{
    const DateStep result = stepDate(m_note.date, days, m_services.clock.today());
    if (result.clampedToToday)
        m_services.messageBoxes.warn(QStringLiteral(" Promemo"),
                                     QStringLiteral(" data inferiore alla attuale !    "), this);
    setNoteDate(result.date);
    // Any arrow re-arms a fired alert.
    armAlert(m_note.alertText);
    showAlertLabel(Qt::AlignRight | Qt::AlignVCenter);
    m_note.forceSave = true;
}

// ---- alert set-up ----

void frmNotino::openAlertSetup()
{
    if (m_setup) {
        m_setup->raise();
        return;
    }
    setIndicator(kIndicatorSetup);
    m_setup = new AlertSetupDialog(*this, m_services, this);
    m_setup->showForNote();
}

QRect frmNotino::geometryTwips() const
{
    return {pixelsToTwips(x()), pixelsToTwips(y()), pixelsToTwips(width()),
            pixelsToTwips(height())};
}

void frmNotino::setNoteDate(QDate date)
{
    m_note.date = date;
    Label1->setText(dateText(date));
}

void frmNotino::armAlert(const QString &text)
{
    m_note.alertFired = false;
    m_note.alertText = text;
    Label2->setText(text);
    showAlertLabel(Label2->alignment());
}

void frmNotino::saveChangedAlert()
{
    Aggiorna_Registrazione(m_note, m_services.clock);
    Label6->setText(m_note.changed);
    m_note.forceSave = true;
    Salva_Nota();
}

void frmNotino::alertSetupClosed(bool cancelled)
{
    m_setup = nullptr;
    setIndicator(kIndicatorActive);
    if (cancelled)
        Text1->setFocus();
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

// ---- ending ----

void frmNotino::Esci()
{
    const PutAwayResult result = putAway(m_note, m_services.clock, programFolder());
    if (!result.error.isEmpty()) {
        centre();
        showWriteFailure(result.error);
        return;
    }
    if (!result.closeWatcher) {
        end();
        return;
    }
    // The watcher chooses its note when it starts: it must go before this note ends.
    hide();
    m_services.windows.closeAll(QString::fromUtf16(kWatcherCaption), kWatcherCloseBound, this,
                                [this](bool) { end(); });
}

void frmNotino::Elimina_File()
{
    hide();
    if (const WriteResult removed = deleteCurrentFile(m_note, programFolder()); !removed) {
        centre();
        show();
        m_services.messageBoxes.warn(QStringLiteral(" Promemo"),
                                     QStringLiteral("  Impossibile eliminare il Notino:    \r\r  %1    ")
                                         .arg(removed.error),
                                     this);
        return;
    }
    end();
}

void frmNotino::end()
{
    m_ended = true;
    m_timer2.stop();
    close();
}

void frmNotino::closeEvent(QCloseEvent *event)
{
    // Closed from outside (the launcher ending, the session): kept as the user left it.
    if (!m_ended) {
        const SaveResult saved = closeFromOutside(m_note, m_services.clock, programFolder());
        if (saved.failed()) {
            event->ignore();
            showWriteFailure(saved.error);
            return;
        }
    }
    m_ended = true;
    m_timer2.stop();
    if (m_setup)
        m_setup->close();
    QWidget::closeEvent(event);
    emit finished();
}

std::unique_ptr<frmNotino> startNoteProgram(const Services &services, StartKind kind,
                                            NoteSize size, const QString &argument)
{
    // Registered before the note file is read (and maybe deleted), so a launcher closing every
    // note from now on reaches this one too.
    auto registration = services.windows.registerWindow(QString::fromUtf16(kNoteCaption));
    std::optional<StartedNote> started;
    OpenFailure failure = OpenFailure::Missing;
    if (kind == StartKind::OpenFile)
        started = openNote(argument, size, services.clock, programFolder(), &failure);
    else
        started = newNote(argument, size, services.clock);
    if (!started) {
        // A file that is there but cannot be shown is said; it stays as it is.
        if (failure == OpenFailure::TooLarge || failure == OpenFailure::Unreadable)
            services.messageBoxes.warn(
                QStringLiteral(" Promemo"),
                QStringLiteral("  Il Notino %1 non si può aprire:    \r\r  %2    \r\r"
                               "  Il file resta nella cartella di Promemo così com'è.    ")
                    .arg(argument, failure == OpenFailure::TooLarge
                                       ? QStringLiteral("è troppo grande per un Notino.")
                                       : QStringLiteral("il file non si può leggere.")));
        return nullptr;
    }
    auto window = std::make_unique<frmNotino>(services, std::move(started->note), std::move(registration));
    window->start(started->placement);
    return window;
}

} // namespace promemo::note
