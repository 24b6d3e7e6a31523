#include "launcher/notelistwindow.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>
#include <utility>
#include <vector>

#include "common/datetexts.h"
#include "common/daynumber.h"
#include "common/duenotes.h"
#include "common/notefile.h"
#include "launcher/core/notelist.h"
#include "common/notelisting.h"
#include "common/programfolder.h"
#include "common/recurrences.h"
#include "launcher/launcheroptions.h"
#include "platform/printjob.h"
#include "common/twips.h"
#include "platform/screen.h"
#include "widgets/centring.h"
#include "widgets/helpkey.h"
#include "widgets/twipsgeometry.h"

namespace promemo::launcher {

namespace {

using namespace std::chrono_literals;

const QString kCaption = QStringLiteral("  Elenco Notino");
const QString kCaptionWithRecurrences = QStringLiteral(" Elenco Notino e Ricorrenze");
const QString kPlaceholder = QStringLiteral("          Nessun Notino");
const QString kHelpTopic = QStringLiteral("elenco.htm");

// The printed lines of a note line; placeholders have none.
constexpr int kPrintedLinesRole = Qt::UserRole + 1;

// Twips.
constexpr int kWidth = 9600;
constexpr int kLeft = 120;
constexpr int kLabelHeight = 255;
constexpr int kNoteFrameHeight = 1095;
constexpr int kShortFrameHeight = 645;
constexpr int kButtonWidth = 1695;
constexpr int kButtonHeight = 375;
constexpr int kLabel3Top = 4140;
constexpr int kPicture3Top = 4390;
constexpr int kLabel3TopAlone = 3140;
constexpr int kPicture3TopAlone = 3390;

// The window heights below count the classic title bar and borders; the client area is that
// much lower.
constexpr int kCaptionAndBorders = 405;
constexpr int kPlainHeight = 4020, kPlainButtons = 3100;
constexpr int kOneSectionHeight = 5040, kOneSectionButtons = 4110;
constexpr int kTwoSectionsHeight = 6045, kTwoSectionsButtons = 5110;

constexpr auto kCloseWatcherBound = 3000ms;
constexpr auto kPrintWait = 1500ms;

const PrintWindowLayout kPrintWindowLayout{{270, 109}, {7, 27, 256, 25}, {62, 56, 145, 25}};

// How far a list reaches left of its frame: its text margin and `key`, the sort key with the
// blanks after it but one, which thus stays in view as a gutter.
int hiddenWidth(const QListWidget &list, const QString &key)
{
    const int textMargin = list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1;
    return textMargin + list.fontMetrics().horizontalAdvance(key) + 1;
}

// Draws a note line's text after its TAB in one column, whatever the width of the time before,
// and the placeholder one blank in from the frame's edge, `hidden` pixels from the line's start.
class NoteLineDelegate final : public QStyledItemDelegate
{
public:
    NoteLineDelegate(int hidden, QObject *parent) : QStyledItemDelegate(parent), m_hidden(hidden) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem item(option);
        initStyleOption(&item, index);
        const QString text = item.text;
        const qsizetype tab = text.indexOf(u'\t');
        const bool placeholder = text == kPlaceholder;
        if (tab < 0 && !placeholder) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        item.text.clear();
        const QWidget *widget = option.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget)
                               .adjusted(margin, 0, 0, 0);
        const QFontMetrics metrics(item.font);
        const bool selected = item.state & QStyle::State_Selected;
        const QPalette::ColorGroup group =
            item.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        painter->save();
        painter->setFont(item.font);
        painter->setPen(item.palette.color(group, selected ? QPalette::HighlightedText
                                                           : QPalette::Text));
        const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
        if (placeholder) {
            const int left = m_hidden - margin + metrics.horizontalAdvance(u' ');
            painter->drawText(area.adjusted(left, 0, 0, 0), flags, text.trimmed());
            painter->restore();
            return;
        }
        // The widest date column, with room for a few blanks after it.
        const int column = std::max(metrics.horizontalAdvance(u"00000 00/00/0000 -00.00"_qs),
                                    metrics.horizontalAdvance(u"00000 00/00/0000 -     nd"_qs))
                           + metrics.horizontalAdvance(u"    "_qs);
        painter->drawText(area, flags, text.left(tab));
        // The file name at the end stays out of view however wide the blanks before it are.
        QString note = text.mid(tab + 1);
        const QString fileName = index.data(frmCounter::FileNameRole).toString();
        if (!fileName.isEmpty() && note.endsWith(fileName))
            note.chop(fileName.size());
        painter->drawText(area.adjusted(column, 0, 0, 0), flags, note);
        painter->restore();
    }

private:
    int m_hidden;
};

// A list inside its frame, cut off on the left by the frame.
QListWidget *listInFrame(QFrame *frame, const QString &hiddenKey)
{
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto *clip = new QWidget(frame);
    clip->setGeometry(frame->contentsRect());
    auto *list = new QListWidget(clip);
    list->setFrameShape(QFrame::NoFrame);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setTextElideMode(Qt::ElideNone);
    list->setUniformItemSizes(true);
    const int hidden = hiddenWidth(*list, hiddenKey);
    list->setItemDelegate(new NoteLineDelegate(hidden, list));
    list->setGeometry(-hidden, 0, clip->width() + hidden, clip->height());
    return list;
}

struct ListedLine
{
    QString text;
    QString fileName;
    QStringList printed;
};

// Lines as a sorted list box orders them: by text, case aside.
void sortLines(std::vector<ListedLine> &lines)
{
    std::sort(lines.begin(), lines.end(), [](const ListedLine &a, const ListedLine &b) {
        const int order = QString::compare(a.text, b.text, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.text < b.text;
    });
}

std::optional<ListedLine> noteLine(const ListedNote &note)
{
    const auto content = readNoteFile(programFile(note.fileName));
    if (!content)
        return std::nullopt;
    const NoteListEntry entry{note.fileName, note.name, *content};
    return ListedLine{noteListLine(entry), note.fileName, printedNoteLines(entry)};
}

void addPlaceholder(QListWidget *list)
{
    list->addItem(kPlaceholder);
}

void showLines(QListWidget *list, std::vector<ListedLine> lines)
{
    sortLines(lines);
    list->clear();
    for (ListedLine &line : lines) {
        auto *item = new QListWidgetItem(std::move(line.text));
        item->setData(frmCounter::FileNameRole, line.fileName);
        item->setData(kPrintedLinesRole, line.printed);
        list->addItem(item);
    }
    if (list->count() == 0)
        addPlaceholder(list);
}

template<typename DayTest>
void fillNotes(QListWidget *list, DayTest isListed)
{
    std::vector<ListedLine> lines;
    for (const ListedNote &note : listNotes(programFolder(), {NoteState::PutAway, std::nullopt})) {
        if (!isListed(note.name.day))
            continue;
        // A note program may have renamed the file since the search.
        if (auto line = noteLine(note))
            lines.push_back(std::move(*line));
    }
    showLines(list, std::move(lines));
}

} // namespace

frmCounter::frmCounter(const Services &services, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                          | Qt::WindowStaysOnTopHint)
    , m_services(services)
{
    setObjectName(QStringLiteral("frmCounter"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(kCaption);
    buildControls();

    m_heightTwips = kPlainHeight;
    m_buttonsTopTwips = kPlainButtons;
    Attuali();
    Futuri();
    Ricorrenze();
    Superati();
    placeControls();

    centreIn(*this, m_services.screen.availableGeometry());
    show();
}

frmCounter::~frmCounter() = default;

void frmCounter::buildControls()
{
    Label1 = new QLabel(
        QStringLiteral("Notino programmati per oggi   (esclusi quelli in esecuzione):"), this);
    Label2 = new QLabel(
        QStringLiteral("Notino programmati per date successive  (esclusi quelli in esecuzione):"),
        this);
    Label4 = new QLabel(QStringLiteral("Ricorrenze"), this);
    Label3 = new QLabel(QStringLiteral("Attenzione!  I seguenti Notino sono stati eliminati in "
                                       "quanto superati:"),
                        this);
    const int frameWidth = kWidth - 2 * kLeft;
    Picture1 = new QFrame(this);
    Picture1->setGeometry(twipsRect({kLeft, 375, frameWidth, kNoteFrameHeight}));
    Picture2 = new QFrame(this);
    Picture2->setGeometry(twipsRect({kLeft, 1815, frameWidth, kNoteFrameHeight}));
    Picture4 = new QFrame(this);
    Picture4->setGeometry(twipsRect({kLeft, 3390, frameWidth, kShortFrameHeight}));
    Picture3 = new QFrame(this);
    Picture3->setGeometry(twipsRect({kLeft, kPicture3Top, frameWidth, kShortFrameHeight}));
    Label1->setGeometry(twipsRect({kLeft, 120, frameWidth, kLabelHeight}));
    Label2->setGeometry(twipsRect({kLeft, 1560, frameWidth, kLabelHeight}));
    Label4->setGeometry(twipsRect({kLeft, 3140, frameWidth, kLabelHeight}));
    Label3->setGeometry(twipsRect({kLeft, kLabel3Top, frameWidth, kLabelHeight}));

    const QString noteKey = noteListKey(0);
    List1 = listInFrame(Picture1, noteKey);
    List2 = listInFrame(Picture2, noteKey);
    List3 = listInFrame(Picture3, noteKey);
    // Recurrence lines start with the day of the year and two blanks.
    List4 = listInFrame(Picture4, QStringLiteral("000 "));
    QPalette cyan = List4->palette();
    cyan.setColor(QPalette::Base, QColor(237, 255, 253));
    List4->setPalette(cyan);
    for (QWidget *hidden : {static_cast<QWidget *>(Label3), static_cast<QWidget *>(Picture3),
                            static_cast<QWidget *>(Label4), static_cast<QWidget *>(Picture4)})
        hidden->hide();

    cmdStampa = new QPushButton(QStringLiteral("Stampa l' elenco"), this);
    cmdHelp = new QPushButton(QStringLiteral("Help"), this);
    cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), this);

    const std::pair<QObject *, const char *> names[] = {
        {Label1, "Label1"},       {Label2, "Label2"},       {Label3, "Label3"},
        {Label4, "Label4"},       {Picture1, "Picture1"},   {Picture2, "Picture2"},
        {Picture3, "Picture3"},   {Picture4, "Picture4"},   {List1, "List1"},
        {List2, "List2"},         {List3, "List3"},         {List4, "List4"},
        {cmdStampa, "cmdStampa"}, {cmdHelp, "cmdHelp"},     {cmdChiudi, "cmdChiudi"}};
    for (const auto &[object, name] : names)
        object->setObjectName(QString::fromLatin1(name));

    connect(List1, &QListWidget::itemClicked, this, &frmCounter::List1_Click);
    connect(List2, &QListWidget::itemClicked, this, &frmCounter::List2_Click);
    for (QListWidget *list : {List3, List4})
        connect(list, &QListWidget::itemClicked, cmdChiudi, [this] { cmdChiudi->setFocus(); });
    connect(cmdStampa, &QPushButton::clicked, this, &frmCounter::cmdStampa_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmCounter::cmdHelp_Click);
    connect(cmdChiudi, &QPushButton::clicked, this, &QWidget::close);

    // F1 belongs to the whole window, whatever has the focus.
    installHelpKey(*this, m_services.help, kHelpTopic);
}

void frmCounter::placeControls()
{
    setFixedSize(twipsToPixels(kWidth), twipsToPixels(m_heightTwips - kCaptionAndBorders));
    const int top = m_buttonsTopTwips;
    cmdStampa->setGeometry(twipsRect({kLeft, top, kButtonWidth, kButtonHeight}));
    cmdHelp->setGeometry(twipsRect({(kWidth - kButtonWidth) / 2, top, kButtonWidth, kButtonHeight}));
    cmdChiudi->setGeometry(
        twipsRect({kWidth - kLeft - kButtonWidth, top, kButtonWidth, kButtonHeight}));
}

int frmCounter::today() const
{
    return dayNumber(m_services.clock.today());
}

void frmCounter::Attuali()
{
    fillNotes(List1, [today = today()](int day) { return day == today; });
}

void frmCounter::Futuri()
{
    fillNotes(List2, [today = today()](int day) { return day > today; });
}

void frmCounter::Ricorrenze()
{
    List4->clear();
    const QDate today = m_services.clock.today();
    for (const Recurrence &recurrence :
         readRecurrences(programFile(kExpandedRecurrencesFile.toString()))) {
        if (!daysUntilDue(recurrence, today))
            continue;
        if (!m_recurrencesShown) {
            Label4->show();
            Picture4->show();
            m_heightTwips = kOneSectionHeight;
            m_buttonsTopTwips = kOneSectionButtons;
            setWindowTitle(kCaptionWithRecurrences);
            m_recurrencesShown = true;
        }
        List4->addItem(recurrenceListLine(recurrence, *nextOccurrence(recurrence, today), today));
    }
}

void frmCounter::Superati()
{
    std::vector<ListedLine> lines;
    const int today = this->today();
    for (const ListedNote &note : listNotes(programFolder(), {NoteState::PutAway, std::nullopt})) {
        if (note.name.day >= today)
            continue;
        // A reminder that has not reached its user is due, not past: it starts and fires late.
        if (note.name.alertMinutes != noAlert) {
            m_services.processes.start(reopenProgram(note.name.noteSize()), {note.fileName},
                                       WindowMode::NormalWithoutFocus);
            continue;
        }
        auto line = noteLine(note);
        // Only what was really deleted is listed as deleted.
        if (!line || !QFile::remove(programFile(note.fileName)))
            continue;
        if (!m_expiredShown) {
            if (m_recurrencesShown) {
                m_heightTwips = kTwoSectionsHeight;
                m_buttonsTopTwips = kTwoSectionsButtons;
            } else {
                m_heightTwips = kOneSectionHeight;
                m_buttonsTopTwips = kOneSectionButtons;
                Picture3->move(Picture3->x(), twipsToPixels(kPicture3TopAlone));
                Label3->move(Label3->x(), twipsToPixels(kLabel3TopAlone));
            }
            Picture3->show();
            Label3->show();
            m_expiredShown = true;
        }
        lines.push_back(std::move(*line));
    }
    if (!lines.empty())
        showLines(List3, std::move(lines));
}

void frmCounter::List1_Click(QListWidgetItem *item)
{
    reopenNote(List1, item, true, WindowMode::NormalWithFocus);
}

void frmCounter::List2_Click(QListWidgetItem *item)
{
    reopenNote(List2, item, false, WindowMode::NormalWithoutFocus);
}

void frmCounter::reopenNote(QListWidget *list, QListWidgetItem *item, bool closeWatcher,
                            WindowMode mode)
{
    cmdChiudi->setFocus();
    const QString fileName = item ? item->data(FileNameRole).toString() : QString();
    const auto name = decodeNoteName(fileName);
    if (!name)
        return;
    // The second click of a double click lands on the line that moved up into its place.
    const auto now = m_services.clock.tickCount();
    const std::chrono::milliseconds doubleClick{QApplication::doubleClickInterval()};
    if (m_lastReopen && now - *m_lastReopen < doubleClick)
        return;
    m_lastReopen = now;

    delete list->takeItem(list->row(item));
    // No line stays marked in place of the one taken away.
    list->selectionModel()->clear();
    if (list->count() == 0)
        addPlaceholder(list);
    const auto start = [this, program = reopenProgram(name->noteSize()), fileName, mode] {
        m_services.processes.start(program, {fileName}, mode);
    };
    // The watcher may be waiting for this note: closed, it comes back without it.
    if (!closeWatcher || name->alertMinutes == 0) {
        start();
        return;
    }
    m_services.windows.closeAll(QString::fromUtf16(kWatcherCaption), kCloseWatcherBound, this,
                                [start](bool) { start(); });
}

QStringList frmCounter::printedLines() const
{
    QStringList lines{QString(), QString(), QString(), QStringLiteral("Stampa Elenco Notino"),
                      QString(), QString()};
    for (const QListWidget *list : {List1, List2, List3}) {
        for (int row = 0; row < list->count(); ++row)
            lines << list->item(row)->data(kPrintedLinesRole).toStringList();
    }
    return lines;
}

void frmCounter::cmdStampa_Click()
{
    auto *window = new PrintJobWindow(m_services, QStringLiteral("Stampa elenco in corso..."),
                                      QStringLiteral("Annulla"), kPrintWindowLayout);
    centreIn(*window, m_services.screen.availableGeometry());
    window->start({kPrintWait, QStringLiteral("Arial"), 12, QString::fromUtf16(kTrayCaption),
                   printedLines()},
                  this);
}

void frmCounter::cmdHelp_Click()
{
    m_services.help.open(kHelpTopic);
}

// Back in the foreground after another window had it: the notes may have changed meanwhile.
void frmCounter::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (!isActiveWindow()) {
        m_left = true;
        return;
    }
    if (!m_left)
        return;
    m_left = false;
    Attuali();
    Futuri();
}

} // namespace promemo::launcher
