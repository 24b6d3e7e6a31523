#include "addressbook/addressbookwindow.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "addressbook/colourdialogs.h"
#include "addressbook/toolbar.h"
#include "common/cp1252.h"
#include "common/programfolder.h"
#include "platform/captions.h"
#include "common/twips.h"
#include "platform/screen.h"
#include "platform/registeredwidget.h"
#include "platform/keystate.h"
#include "platform/storabletext.h"

namespace promemo::rubrica {

namespace {

using namespace std::chrono_literals;

const QString kCaption = QString::fromUtf16(kAddressBookCaption);
const QString kHelpTopic = QStringLiteral("rubrica.htm");

const QColor kMarkerYellow(255, 255, 192);
const QColor kFoundGreen(190, 254, 190);
const QColor kRuleColour(128, 128, 128);

// Layout in twips. The toolbar spans 80..9990; the tabs and the sheet keep within it.
constexpr int kWindowWidth = 10080;
constexpr int kWindowHeight = 6600;
constexpr int kTabsLeft = 80;
constexpr int kTabWidth = 450;
constexpr int kTabHeight = 255;
constexpr int kUpperTabsTop = 540;
constexpr int kLowerTabsTop = kUpperTabsTop + kTabHeight;
constexpr int kSheetTop = kLowerTabsTop + kTabHeight;
constexpr int kSheetBottom = 6480;
constexpr int kFirstRowTop = 1080;
constexpr int kRowPitch = 240;
constexpr int kCellHeight = 285;
constexpr int kNameWidth = 3240;
constexpr int kNumberWidth = 1640;
constexpr int kRuleOverlap = 15; // neighbouring cells share their ruling line
constexpr std::array<int, 2> kPageLeft = {135, 5050};

// Which sheet each tab column shows: the lower row (nearer the sheet) and the upper row.
constexpr std::array<int, kPageRows> kLowerRow = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                                                  11, 12, 13, 14, 15, 16, 17, 18, 19, 28, 20};
constexpr std::array<int, kPageRows> kUpperRow = {21, 22, 23, 24, 25, 26, 27, 42, 29, 30, 31,
                                                  32, 33, 34, 35, 36, 37, 38, 39, 40, 43, 41};

QRect twipsRect(int left, int top, int width, int height)
{
    const int x = twipsToPixels(left);
    const int y = twipsToPixels(top);
    return {x, y, twipsToPixels(left + width) - x, twipsToPixels(top + height) - y};
}

QFont suiteFont(qreal points)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    font.setPointSizeF(points);
    return font;
}

QColor windowBackground()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Base);
}

QColor paintColour(CellPaint paint)
{
    switch (paint) {
    case CellPaint::Marker:
        return kMarkerYellow;
    case CellPaint::Found:
        return kFoundGreen;
    case CellPaint::Window:
        break;
    }
    return windowBackground();
}

QString tabMessage()
{
    return QStringLiteral(" Gli appunti contengono caratteri di tabulazione.\r\n\r"
                          " Probabilmente sono state copiate più colonne  \r\n"
                          " da un foglio di Excel o Access.  \r\n\r"
                          " Copiare ed incollare una sola colonna per volta...\r\n\r"
                          " Fare riferimento all' Help del programma.");
}

} // namespace

// --- GridCell ---

GridCell::GridCell(CellRef ref, QWidget *parent) : QLineEdit(parent), m_ref(ref)
{
    setFrame(false);
    setTextMargins(2, 2, 2, 0);
    setMaxLength(typingLimit());
    keepStorable(*this);
    setAutoFillBackground(false);
    setPaint(CellPaint::Window);
    setTextColour(TextColour::Black);
}

int GridCell::typingLimit() const
{
    return m_ref.column == Column::Name ? kNameBytes : kNumberBytes;
}

Cell GridCell::contents() const
{
    return {text(), font().bold(), font().underline(), m_colour};
}

void GridCell::setContents(const Cell &cell)
{
    setCellText(cell.text);
    setBold(cell.bold);
    setUnderline(cell.underline);
    setTextColour(cell.colour);
}

void GridCell::setCellText(const QString &text)
{
    // Pasted cells come here without the check of typed text.
    const QString stored = cp1252::storable(text);
    setMaxLength(std::max<int>(typingLimit(), int(stored.size())));
    setText(stored);
    // A long entry shows from its beginning, as after the cell lost the focus.
    if (!hasFocus())
        setCursorPosition(0);
}

void GridCell::setPaint(CellPaint paint)
{
    m_paint = paint;
    QPalette colours = palette();
    colours.setColor(QPalette::Base, paintColour(paint));
    setPalette(colours);
}

void GridCell::setBold(bool on)
{
    QFont changed = font();
    changed.setBold(on);
    setFont(changed);
}

void GridCell::setUnderline(bool on)
{
    QFont changed = font();
    changed.setUnderline(on);
    setFont(changed);
}

void GridCell::setTextColour(TextColour colour)
{
    m_colour = colour;
    QPalette colours = palette();
    colours.setColor(QPalette::Text, textQColor(colour));
    setPalette(colours);
}

// Focus coming back with the window (after a message box) or from a popup is not a move
// between cells.
static bool movesBetweenCells(const QFocusEvent *event)
{
    return event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
}

void GridCell::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (movesBetweenCells(event))
        emit focusEntered(this);
}

void GridCell::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (!movesBetweenCells(event))
        return;
    // A long entry shows from its beginning again.
    setCursorPosition(0);
    emit focusLeft(this);
}

void GridCell::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    emit pressed(this, event->button());
}

void GridCell::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Base));
    }
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    painter.setPen(kRuleColour);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

// --- frmRubrica ---

frmRubrica::frmRubrica(const Services &services, QWidget *parent)
    : QWidget(parent), m_services(services), m_settings(Settings::inProgramFolder())
{
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_QuitOnClose);
    m_tabColour = tabQColor(m_settings.tabColour());
    m_sheetColour = sheetQColor(m_settings.sheetColour());
    buildControls();
}

frmRubrica::~frmRubrica()
{
    if (m_options)
        delete m_options.data();
    if (m_palette)
        delete m_palette.data();
}

void frmRubrica::buildControls()
{
    setFixedSize(twipsToPixels(kWindowWidth), twipsToPixels(kWindowHeight));
    setFont(suiteFont(8));
    setMouseTracking(true);

    m_toolbar = new Toolbar(this);
    connect(m_toolbar, &Toolbar::triggered, this, &frmRubrica::toolbarTriggered);
    connect(m_toolbar, &Toolbar::hovered, this, [this](int index) {
        if (index != TextColourButton)
            closePalette();
    });
    buildSearchBox();
    buildTabs();
    buildGrid();

    // The window sees every key before its controls (F1, the cells' keys, the search box).
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

void frmRubrica::buildSearchBox()
{
    Text4 = new QLineEdit(this);
    Text4->setObjectName(QStringLiteral("Text4"));
    Text4->setGeometry(searchBoxRect());
    Text4->setToolTip(searchBoxTooltip());
    Text4->setMouseTracking(true);
    connect(Text4, &QLineEdit::textChanged, this, &frmRubrica::searchTextChanged);
}

void frmRubrica::buildTabs()
{
    lblScheda = new QLabel(this);
    lblScheda->setObjectName(QStringLiteral("lblScheda"));
    lblScheda->setGeometry(
        twipsRect(kTabsLeft, kSheetTop, kTabWidth * kPageRows, kSheetBottom - kSheetTop));
    lblScheda->setAutoFillBackground(true);
    lblScheda->setFrameStyle(QFrame::Box | QFrame::Plain);

    QFont tabFont = suiteFont(7.5);
    for (int column = 0; column < kPageRows; ++column) {
        for (const auto &[top, sheets] : {std::pair{kLowerTabsTop, kLowerRow},
                                          std::pair{kUpperTabsTop, kUpperRow}}) {
            const int index = sheets[column];
            auto *tab = new QLabel(sheetCaption(index), this);
            tab->setObjectName(QStringLiteral("lblFolder%1").arg(index));
            tab->setGeometry(twipsRect(kTabsLeft + column * kTabWidth, top, kTabWidth, kTabHeight));
            tab->setAlignment(Qt::AlignCenter);
            tab->setAutoFillBackground(true);
            tab->setFrameStyle(QFrame::Box | QFrame::Plain);
            tab->setFont(tabFont);
            tab->setCursor(Qt::PointingHandCursor);
            lblFolder[index] = tab;
        }
    }
}

void frmRubrica::buildGrid()
{
    // Name i, number i, name i + 1, ...: the tab order follows Enter.
    for (int row = 1; row <= kRows; ++row) {
        const int page = row <= kPageRows ? 0 : 1;
        const int top = kFirstRowTop + ((row - 1) % kPageRows) * kRowPitch;
        const int left = kPageLeft[page];
        auto *name = new GridCell({row, Column::Name}, this);
        name->setObjectName(QStringLiteral("Text1_%1").arg(row));
        name->setGeometry(twipsRect(left, top, kNameWidth, kCellHeight));
        auto *number = new GridCell({row, Column::Number}, this);
        number->setObjectName(QStringLiteral("Text2_%1").arg(row));
        number->setGeometry(
            twipsRect(left + kNameWidth - kRuleOverlap, top, kNumberWidth, kCellHeight));
        Text1[row - 1] = name;
        Text2[row - 1] = number;
        for (GridCell *cell : {name, number}) {
            connect(cell, &GridCell::focusEntered, this, &frmRubrica::cellFocusEntered);
            connect(cell, &GridCell::pressed, this, &frmRubrica::cellPressed);
        }
    }
    // Rows overlap: each row lies over the one below it, so its lower ruling line shows.
    for (int row = kRows; row >= 1; --row) {
        Text2[row - 1]->raise();
        Text1[row - 1]->raise();
    }
}

std::unique_ptr<frmRubrica> startAddressBook(const Services &services)
{
    auto window = std::make_unique<frmRubrica>(services);
    if (!window->openDataFile())
        return nullptr;
    window->start();
    return window;
}

bool frmRubrica::openDataFile()
{
    const QString path = programFile(kDataFileName.toString());
    QString error;
    if (m_file.open(path, &error))
        return true;
    QString text = QStringLiteral("  Non è possibile aprire né creare il file della Rubrica:  \r")
                   + QStringLiteral("  ") + path + QStringLiteral("  ");
    if (!error.isEmpty())
        text += QStringLiteral("\r\r  ") + error + QStringLiteral("  ");
    text += QStringLiteral("\r\r  La Rubrica non può essere aperta.  ");
    m_services.messageBoxes.warn(kCaption, text);
    return false;
}

frmColore *frmRubrica::palette() const
{
    return m_palette;
}

frmOpzioni *frmRubrica::optionsDialog() const
{
    return m_options;
}

bool frmRubrica::dataFileWritable() const
{
    return m_file.isWritable();
}

void frmRubrica::start()
{
    m_toolbar->azzeraPulsanti();
    paintTabs();
    const QRect screen = m_services.screen.availableGeometry();
    move(screen.center() - QPoint(width() / 2, height() / 2));
    show();
    activateWindow();

    m_registration = registerTopLevel(m_services.windows, *this);
    tabClicked(0);
}

GridCell *frmRubrica::cell(CellRef ref) const
{
    if (ref.row < 1 || ref.row > kRows)
        return nullptr;
    return ref.column == Column::Name ? Text1[ref.row - 1] : Text2[ref.row - 1];
}

Sheet frmRubrica::gridContents() const
{
    Sheet sheet;
    for (int row = 1; row <= kRows; ++row)
        sheet[row - 1] = {nameCell(row)->contents(), numberCell(row)->contents()};
    return sheet;
}

void frmRubrica::setGridContents(const Sheet &sheet)
{
    for (int row = 1; row <= kRows; ++row) {
        nameCell(row)->setContents(sheet[row - 1].name);
        numberCell(row)->setContents(sheet[row - 1].number);
    }
}

void frmRubrica::paintAllCells(CellPaint paint)
{
    for (int row = 0; row < kRows; ++row) {
        Text1[row]->setPaint(paint);
        Text2[row]->setPaint(paint);
    }
}

Marks frmRubrica::marksOf(Column column) const
{
    Marks marks{};
    for (int row = 1; row <= kRows; ++row)
        marks[row - 1] = cell({row, column})->paint() == CellPaint::Marker;
    return marks;
}

void frmRubrica::paintTabs()
{
    for (int index = 0; index < kSheets; ++index) {
        QLabel *tab = lblFolder[index];
        const bool chosen = index == m_foglioCorrente;
        QFont font = tab->font();
        font.setBold(chosen);
        tab->setFont(font);
        QPalette colours = tab->palette();
        colours.setColor(QPalette::Window, chosen ? m_sheetColour : m_tabColour);
        tab->setPalette(colours);
    }
    QPalette colours = lblScheda->palette();
    colours.setColor(QPalette::Window, m_sheetColour);
    lblScheda->setPalette(colours);
}

void frmRubrica::focusCell(CellRef ref)
{
    if (GridCell *target = cell(ref))
        target->setFocus(Qt::OtherFocusReason);
}

void frmRubrica::focusCellAtEnd(CellRef ref)
{
    GridCell *target = cell(ref);
    if (!target)
        return;
    target->setFocus(Qt::OtherFocusReason);
    target->deselect();
    target->setCursorPosition(int(target->text().size()));
}

void frmRubrica::message(const QString &text, MessageIcon icon)
{
    m_services.messageBoxes.show({kCaption, text, icon, MessageButtons::Ok}, this);
}

bool frmRubrica::confirm(const QString &text)
{
    return m_services.messageBoxes.show({kCaption, text, MessageIcon::Warning, MessageButtons::YesNo},
                                        this)
           == MessageAnswer::Yes;
}

// --- Sheets and the data file ---

void frmRubrica::Apri(int index)
{
    paintAllCells(CellPaint::Window);
    // A record that cannot be read shows as an empty row, never as the previous sheet's row.
    Sheet sheet{};
    m_file.readSheet(index, sheet);
    setGridContents(sheet);
}

bool frmRubrica::Salva()
{
    if (!m_file.writeSheet(m_foglioCorrente, gridContents())) {
        reportWriteFailure();
        focusCell(m_current);
        return false;
    }
    m_modificato = false;
    focusCell(m_current);
    return true;
}

void frmRubrica::reportWriteFailure()
{
    message(QStringLiteral("  Non è stato possibile salvare il foglio ")
                + sheetCaption(m_foglioCorrente)
                + QStringLiteral(" nel file rubri.dat.  \r\r"
                                 "  Le modifiche restano nel foglio e non sono salvate.  \r"
                                 "  Controlla che il file non sia di sola lettura e che il disco "
                                 "non sia pieno.  "),
            MessageIcon::Warning);
}

bool frmRubrica::QuerySave(int index)
{
    if (!m_modificato)
        return true;
    const MessageAnswer answer = m_services.messageBoxes.show(
        {kCaption,
         QStringLiteral("  Vuoi salvare le modifiche effettuate al foglio ") + sheetCaption(index)
             + QStringLiteral("?  "),
         MessageIcon::Question, MessageButtons::YesNo},
        this);
    if (answer == MessageAnswer::Yes)
        return Salva();
    m_modificato = false;
    return true;
}

bool frmRubrica::Apre_Foglio(int index)
{
    // The sheet being left is offered for saving first; when its write fails, nothing moves.
    if (m_modificato && !QuerySave(m_foglioCorrente))
        return false;
    m_foglioCorrente = index;
    paintTabs();
    Apri(index);
    return true;
}

void frmRubrica::tabClicked(int index)
{
    if (!Apre_Foglio(index)) {
        focusCell(m_lastCell);
        return;
    }
    m_search.restart();
    m_estendiMarca = false;
    m_current = {1, Column::Name};
    focusCellAtEnd(m_current);
    nameCell(1)->setPaint(CellPaint::Marker);
    m_lastCell = m_current;
}

// --- Cells ---

void frmRubrica::cellFocusEntered(GridCell *entered)
{
    m_current = entered->ref();
    if (!m_estendiMarca) {
        paintAllCells(CellPaint::Window);
        if (!m_clicMouse) {
            entered->deselect();
            entered->setCursorPosition(int(entered->text().size()));
        }
    }
    // Marks accumulate only through the one move that asked for it.
    m_estendiMarca = false;
    entered->setPaint(m_search.found ? CellPaint::Found : CellPaint::Marker);
    m_lastCell = entered->ref();
}

void frmRubrica::cellPressed(GridCell *pressedCell, Qt::MouseButton button)
{
    m_clicMouse = true;
    m_estendiMarca = false;
    m_search.restart();
    if (button == Qt::LeftButton)
        pressedCell->deselect();
    m_lastCell = pressedCell->ref();
}

bool frmRubrica::cellKeyPressed(GridCell *keyCell, QKeyEvent *event)
{
    const CellRef here = keyCell->ref();
    const bool inName = here.column == Column::Name;
    m_current.row = here.row;
    m_estendiMarca = false;
    if (inName)
        m_search.found = false;
    const bool shiftAlone = (event->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier;

    const auto moveBy = [&](MoveKey key) {
        const auto target = moveTarget(here, key, m_clicMouse);
        if (!target)
            return false; // Left and Right after a click: the caret moves in the text
        focusCell(*target);
        return true;
    };

    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_clicMouse = false;
        if (!inName && shiftAlone)
            m_estendiMarca = true;
        // The typed Enter restarts the search; it is swallowed.
        m_search.restart();
        moveBy(MoveKey::Enter);
        return true;
    case Qt::Key_Left:
        return moveBy(MoveKey::Left);
    case Qt::Key_Right:
        return moveBy(MoveKey::Right);
    case Qt::Key_Up:
        m_clicMouse = false;
        return moveBy(MoveKey::Up);
    case Qt::Key_Down:
        if (shiftAlone)
            m_estendiMarca = true;
        m_clicMouse = false;
        return moveBy(MoveKey::Down);
    case Qt::Key_PageUp:
        m_clicMouse = false;
        return moveBy(MoveKey::PageUp);
    case Qt::Key_PageDown:
        m_clicMouse = false;
        return moveBy(MoveKey::PageDown);
    case Qt::Key_F4:
        Text4->setFocus(Qt::OtherFocusReason);
        Text4->selectAll();
        return true;
    default:
        break;
    }
    if (isModifierKey(event->key()))
        return false;
    m_modificato = true;
    if (!event->text().isEmpty()) {
        m_search.restart();
        m_lastCell = here;
    }
    return false;
}

// --- Toolbar commands ---

void frmRubrica::toolbarTriggered(int index)
{
    switch (index) {
    case SaveButton:
        Salva();
        break;
    case CutButton:
        Taglia();
        break;
    case CopyButton:
        Copia();
        break;
    case PasteButton:
        Incolla();
        break;
    case BoldButton:
        Grassetto();
        break;
    case UnderlineButton:
        Sottolineato();
        break;
    case InsertRowButton:
        Inserisci_Riga();
        break;
    case DeleteRowButton:
        Togli_Riga();
        break;
    case TextColourButton:
        openPalette();
        break;
    case SearchButton:
        Cerca();
        break;
    case OptionsButton:
        openOptions();
        break;
    case HelpButton:
        Apre_Guida();
        break;
    case CloseButton:
        close();
        break;
    default:
        break;
    }
}

void frmRubrica::copyOrCut(bool cut)
{
    m_modificato = true;
    m_estendiMarca = false;
    Sheet sheet = gridContents();
    const Column column = m_current.column;
    const QString buffer = cut ? cutMarked(sheet, column, marksOf(column))
                               : copyMarked(sheet, column, marksOf(column));
    if (cut)
        setGridContents(sheet);
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(buffer);
    focusCell(m_current);
}

void frmRubrica::Taglia()
{
    copyOrCut(true);
}

void frmRubrica::Copia()
{
    copyOrCut(false);
}

void frmRubrica::Incolla()
{
    m_modificato = true;
    m_clicMouse = false;
    const QString text = annullaVbCr(QGuiApplication::clipboard()->text());
    if (text.contains(u'\t')) {
        message(tabMessage(), MessageIcon::None);
        return;
    }
    Column column = Column::Name;
    if (nameCell(m_current.row)->paint() == CellPaint::Marker)
        column = Column::Name;
    else if (numberCell(m_current.row)->paint() == CellPaint::Marker)
        column = Column::Number;
    else {
        message(QStringLiteral("  Seleziona una cella prima di incollare!  "), MessageIcon::None);
        return;
    }
    Sheet sheet = gridContents();
    m_current.row = pasteLines(sheet, column, m_current.row, text);
    setGridContents(sheet);
    focusCellAtEnd(m_current);
}

void frmRubrica::Grassetto()
{
    m_modificato = true;
    GridCell *current = cell(m_current);
    current->setBold(!current->font().bold());
    focusCell(m_current);
}

void frmRubrica::Sottolineato()
{
    m_modificato = true;
    GridCell *current = cell(m_current);
    current->setUnderline(!current->font().underline());
    focusCell(m_current);
}

void frmRubrica::Inserisci_Riga()
{
    m_modificato = true;
    Sheet sheet = gridContents();
    bool go = true;
    if (sheet[kRows - 1].hasData()) {
        go = confirm(QStringLiteral(" Nell' ultima riga del foglio sono presenti dei dati.       \r"
                                    " Inserendo una riga tali dati verranno cancellati...   \r\r"
                                    " Vuoi continuare?  "));
        m_toolbar->azzeraPulsanti();
    }
    if (go) {
        insertRow(sheet, m_current.row);
        setGridContents(sheet);
    }
    focusCellAtEnd({m_current.row, Column::Name});
}

void frmRubrica::Togli_Riga()
{
    m_modificato = true;
    Sheet sheet = gridContents();
    bool go = true;
    if (sheet[m_current.row - 1].hasData()) {
        go = confirm(QStringLiteral(" Stai per cancellare i dati della riga...   \r\r"
                                    " vuoi continuare?  "));
        m_toolbar->azzeraPulsanti();
    }
    if (go) {
        deleteRow(sheet, m_current.row);
        setGridContents(sheet);
    }
    focusCellAtEnd({m_current.row, Column::Name});
}

void frmRubrica::openPalette()
{
    if (!m_palette) {
        m_palette = new frmColore(this);
        connect(m_palette, &frmColore::colourChosen, this, [this](TextColour colour) {
            m_modificato = true;
            cell(m_current)->setTextColour(colour);
            focusCell(m_current);
        });
        connect(m_palette, &frmColore::keyTyped, this, [this] {
            focusCell(m_current);
            closePalette();
        });
    }
    m_palette->open();
}

void frmRubrica::closePalette()
{
    if (m_palette && m_palette->isVisible())
        m_palette->close();
}

void frmRubrica::openOptions()
{
    if (m_options)
        return;
    auto *dialog = new frmOpzioni(m_settings, m_services.messageBoxes, this, &m_services.screen);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &frmOpzioni::applied, this, [this](int tabIndex, int sheetIndex) {
        m_tabColour = tabQColor(tabIndex);
        m_sheetColour = sheetQColor(sheetIndex);
        paintTabs();
    });
    m_options = dialog;
    dialog->show();
}

void frmRubrica::Apre_Guida()
{
    m_services.windows.exists(QString::fromUtf16(kHelpCaption), this, [this](bool there) {
        if (there)
            return;
        focusCell(m_lastCell);
        m_services.help.open(kHelpTopic);
    });
}

// --- Search ---

void frmRubrica::Cerca()
{
    if (Text4->text().isEmpty()) {
        message(QStringLiteral("  Non hai inserito il testo da cercare    "), MessageIcon::Warning);
        Text4->setFocus(Qt::OtherFocusReason);
        return;
    }
    // The search reads the file: the shown sheet is offered for saving first.
    if (!QuerySave(m_foglioCorrente)) {
        Text4->setFocus(Qt::OtherFocusReason);
        return;
    }
    const QString key = searchKey(Text4->text());
    const auto hit = searchStep(m_search, key, [this](int record) { return recordTexts(m_file, record); });
    if (hit) {
        showHit(*hit);
        return;
    }
    message(QStringLiteral("      Fine ricerca del dato:  ") + Text4->text() + QString(10, u' '),
            MessageIcon::Information);
    m_search.restart();
    Text4->selectAll();
    Text4->setFocus(Qt::OtherFocusReason);
}

void frmRubrica::showHit(const SearchHit &hit)
{
    Apre_Foglio(sheetOfRecord(hit.record));
    m_search.found = true;
    m_estendiMarca = false;
    m_current = {rowOfRecord(hit.record), hit.column};
    focusCell(m_current);
    cell(m_current)->setPaint(CellPaint::Found);
    m_lastCell = m_current;
    Text4->setFocus(Qt::OtherFocusReason);
}

void frmRubrica::searchTextChanged()
{
    for (int row = 1; row <= kRows; ++row) {
        for (GridCell *each : {nameCell(row), numberCell(row)}) {
            if (each->paint() == CellPaint::Found)
                each->setPaint(CellPaint::Marker);
        }
    }
    m_search.restart();
}

bool frmRubrica::searchBoxKeyPressed(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Cerca();
        return true;
    case Qt::Key_Down:
        paintAllCells(CellPaint::Window);
        m_search.restart();
        m_estendiMarca = false;
        m_current = {1, Column::Name};
        focusCell(m_current);
        nameCell(1)->setPaint(CellPaint::Marker);
        nameCell(1)->selectAll();
        return true;
    default:
        return false;
    }
}

// --- Window events ---

bool frmRubrica::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        auto *keyCell = qobject_cast<GridCell *>(watched);
        if (key->key() == Qt::Key_F1) {
            if (keyCell) {
                m_current.row = keyCell->ref().row;
                m_estendiMarca = false;
                m_modificato = true;
            }
            Apre_Guida();
            return true;
        }
        if (keyCell)
            return cellKeyPressed(keyCell, key);
        if (watched == Text4)
            return searchBoxKeyPressed(key);
        break;
    }
    case QEvent::MouseMove:
        if (watched == Text4) {
            closePalette();
            m_toolbar->azzeraPulsanti();
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == Text4)
            QTimer::singleShot(0, Text4, &QLineEdit::selectAll);
        break;
    case QEvent::MouseButtonPress: {
        if (watched == lblScheda)
            return true;
        const auto found = std::find(lblFolder.begin(), lblFolder.end(), watched);
        if (found != lblFolder.end()) {
            tabClicked(int(found - lblFolder.begin()));
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void frmRubrica::mouseMoveEvent(QMouseEvent *event)
{
    m_toolbar->azzeraPulsanti();
    QWidget::mouseMoveEvent(event);
}

void frmRubrica::mousePressEvent(QMouseEvent *event)
{
    focusCellAtEnd({1, Column::Name});
    QWidget::mousePressEvent(event);
}

void frmRubrica::closeEvent(QCloseEvent *event)
{
    if (m_modificato) {
        const MessageAnswer answer = m_services.messageBoxes.show(
            {kCaption, QStringLiteral("  Vuoi salvare le ultime modifiche effettuate?   "),
             MessageIcon::Question, MessageButtons::YesNoCancel},
            this);
        // A refused close, or a save that failed, keeps the window and its edits.
        if (answer == MessageAnswer::Cancel || (answer == MessageAnswer::Yes && !Salva())) {
            event->ignore();
            focusCell(m_lastCell);
            return;
        }
        m_modificato = false;
    }
    closePalette();
    if (m_options)
        m_options->close();
    m_file.close();
    m_services.windows.closeAll(QString::fromUtf16(kHelpCaption), 3s, this, {});
    event->accept();
}

} // namespace promemo::rubrica
