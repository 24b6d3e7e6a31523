#include "addressbook/addressbookwindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

#include "addressbook/colourdialogs.h"
#include "addressbook/sheetlayout.h"
#include "addressbook/toolbar.h"
#include "common/programfolder.h"
#include "platform/captions.h"
#include "platform/keystate.h"
#include "widgets/centring.h"
#include "widgets/registeredwidget.h"
#include "widgets/suitefont.h"
#include "platform/screen.h"

namespace promemo::rubrica {

namespace {

using namespace std::chrono_literals;

const QString kCaption = QString::fromUtf16(kAddressBookCaption);
std::optional<MoveKey> moveKeyOf(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return MoveKey::Enter;
    case Qt::Key_Left:
        return MoveKey::Left;
    case Qt::Key_Right:
        return MoveKey::Right;
    case Qt::Key_Up:
        return MoveKey::Up;
    case Qt::Key_Down:
        return MoveKey::Down;
    case Qt::Key_PageUp:
        return MoveKey::PageUp;
    case Qt::Key_PageDown:
        return MoveKey::PageDown;
    default:
        return std::nullopt;
    }
}

} // namespace

// --- frmRubrica ---

frmRubrica::frmRubrica(const Services &services, QWidget *parent)
    : QWidget(parent), m_services(services), m_messages(services.messageBoxes, kCaption, this),
      m_settings(Settings::inProgramFolder())
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
    setFixedSize(layout::windowSize());
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
    m_searchBox = new QLineEdit(this);
    m_searchBox->setObjectName(QStringLiteral("Text4"));
    m_searchBox->setGeometry(searchBoxRect());
    m_searchBox->setToolTip(searchBoxTooltip());
    m_searchBox->setMouseTracking(true);
    connect(m_searchBox, &QLineEdit::textChanged, this, &frmRubrica::searchTextChanged);
}

void frmRubrica::buildTabs()
{
    m_sheet = new QLabel(this);
    m_sheet->setObjectName(QStringLiteral("lblScheda"));
    m_sheet->setGeometry(layout::sheetRect());
    m_sheet->setAutoFillBackground(true);
    m_sheet->setFrameStyle(QFrame::Box | QFrame::Plain);

    const QFont tabFont = suiteFont(7.5);
    for (int index = 0; index < kSheets; ++index) {
        auto *tab = new QLabel(sheetCaption(index), this);
        tab->setObjectName(QStringLiteral("lblFolder%1").arg(index));
        tab->setGeometry(layout::tabRect(index));
        tab->setAlignment(Qt::AlignCenter);
        tab->setAutoFillBackground(true);
        tab->setFrameStyle(QFrame::Box | QFrame::Plain);
        tab->setFont(tabFont);
        tab->setCursor(Qt::PointingHandCursor);
        m_tabs[index] = tab;
    }
}

void frmRubrica::buildGrid()
{
    // Name i, number i, name i + 1, ...: the tab order follows Enter.
    for (int row = 1; row <= kRows; ++row) {
        auto *name = new GridCell({row, Column::Name}, this);
        name->setObjectName(QStringLiteral("Text1_%1").arg(row));
        name->setGeometry(layout::cellRect(name->ref()));
        auto *number = new GridCell({row, Column::Number}, this);
        number->setObjectName(QStringLiteral("Text2_%1").arg(row));
        number->setGeometry(layout::cellRect(number->ref()));
        m_names[row - 1] = name;
        m_numbers[row - 1] = number;
        for (GridCell *cell : {name, number}) {
            connect(cell, &GridCell::focusEntered, this, &frmRubrica::cellFocusEntered);
            connect(cell, &GridCell::pressed, this, &frmRubrica::cellPressed);
            connect(cell, &GridCell::pasteRequested, this, &frmRubrica::pasteInCell);
            // Keys set it before they act; a paste from the cell's menu or a drop comes here.
            connect(cell, &QLineEdit::textEdited, this, [this] { m_modificato = true; });
        }
    }
    // Rows overlap: each row lies over the one below it, so its lower ruling line shows.
    for (int row = kRows; row >= 1; --row) {
        m_numbers[row - 1]->raise();
        m_names[row - 1]->raise();
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
    centreIn(*this, m_services.screen.availableGeometry());
    show();
    activateWindow();

    m_registration = registerTopLevel(m_services.windows, *this);
    tabClicked(0);
}

GridCell *frmRubrica::cell(CellRef ref) const
{
    if (ref.row < 1 || ref.row > kRows)
        return nullptr;
    return ref.column == Column::Name ? m_names[ref.row - 1] : m_numbers[ref.row - 1];
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

void frmRubrica::showPaint()
{
    for (int row = 0; row < kRows; ++row) {
        for (GridCell *each : {m_names[row], m_numbers[row]}) {
            const CellPaint paint = m_cursor.paint(each->ref());
            if (each->paint() != paint)
                each->setPaint(paint);
        }
    }
}

void frmRubrica::paintTabs()
{
    for (int index = 0; index < kSheets; ++index) {
        QLabel *tab = m_tabs[index];
        const bool chosen = index == m_foglioCorrente;
        QFont font = tab->font();
        font.setBold(chosen);
        tab->setFont(font);
        QPalette colours = tab->palette();
        colours.setColor(QPalette::Window, chosen ? m_sheetColour : m_tabColour);
        tab->setPalette(colours);
    }
    QPalette colours = m_sheet->palette();
    colours.setColor(QPalette::Window, m_sheetColour);
    m_sheet->setPalette(colours);
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
    target->caretToEnd();
}

MessageAnswer frmRubrica::ask(const QString &text, MessageIcon icon, MessageButtons buttons)
{
    const MessageAnswer answer = m_messages.show(text, icon, buttons);
    m_toolbar->releaseTaken();
    return answer;
}

void frmRubrica::message(const QString &text, MessageIcon icon)
{
    ask(text, icon, MessageButtons::Ok);
}

bool frmRubrica::confirm(const QString &text)
{
    return ask(text, MessageIcon::Warning, MessageButtons::YesNo) == MessageAnswer::Yes;
}

// --- Sheets and the data file ---

void frmRubrica::Apri(int index)
{
    m_cursor.clearPaint();
    showPaint();
    // A record that cannot be read shows as an empty row, never as the previous sheet's row.
    Sheet sheet{};
    m_file.readSheet(index, sheet);
    setGridContents(sheet);
}

bool frmRubrica::Salva()
{
    if (!m_file.writeSheet(m_foglioCorrente, gridContents())) {
        reportWriteFailure();
        focusCell(m_cursor.current());
        return false;
    }
    m_modificato = false;
    // Contacts programs get the saved sheet from the launcher, which follows rubri.dat.
    focusCell(m_cursor.current());
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
    const MessageAnswer answer = ask(
        QStringLiteral("  Vuoi salvare le modifiche effettuate al foglio ") + sheetCaption(index)
            + QStringLiteral("?  "),
        MessageIcon::Question, MessageButtons::YesNo);
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
        focusCell(m_cursor.lastFocused());
        return;
    }
    m_cursor.home();
    showPaint();
    focusCellAtEnd(m_cursor.current());
    m_cursor.settle(CellPaint::Marker);
    showPaint();
}

// --- Cells ---

void frmRubrica::cellFocusEntered(GridCell *entered)
{
    if (m_cursor.focusEntered(entered->ref()))
        entered->caretToEnd();
    showPaint();
}

void frmRubrica::cellPressed(GridCell *pressedCell, Qt::MouseButton button)
{
    m_cursor.pressed(pressedCell->ref());
    if (button == Qt::LeftButton)
        pressedCell->deselect();
}

bool frmRubrica::cellKeyPressed(GridCell *keyCell, QKeyEvent *event)
{
    const CellRef here = keyCell->ref();
    m_cursor.keyPressed(here);
    if (const auto key = moveKeyOf(event->key())) {
        const bool shiftAlone = (event->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier;
        const auto target = m_cursor.move(here, *key, shiftAlone);
        if (target)
            focusCell(*target);
        // Enter is swallowed; Left and Right after a click move the caret in the text.
        return target || key == MoveKey::Enter;
    }
    if (event->key() == Qt::Key_F4) {
        m_searchBox->setFocus(Qt::OtherFocusReason);
        m_searchBox->selectAll();
        return true;
    }
    if (isModifierKey(event->key()))
        return false;
    m_modificato = true;
    m_cursor.typed(here, !event->text().isEmpty());
    return false;
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
                m_cursor.helpKeyPressed(keyCell->ref());
                m_modificato = true;
            }
            Apre_Guida();
            return true;
        }
        if (keyCell)
            return cellKeyPressed(keyCell, key);
        if (watched == m_searchBox)
            return searchBoxKeyPressed(key);
        break;
    }
    case QEvent::MouseMove:
        if (watched == m_searchBox) {
            closePalette();
            m_toolbar->azzeraPulsanti();
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == m_searchBox)
            QTimer::singleShot(0, m_searchBox, &QLineEdit::selectAll);
        break;
    case QEvent::MouseButtonPress: {
        if (watched == m_sheet)
            return true;
        const auto found = std::find(m_tabs.begin(), m_tabs.end(), watched);
        if (found != m_tabs.end()) {
            tabClicked(int(found - m_tabs.begin()));
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
        const MessageAnswer answer =
            ask(QStringLiteral("  Vuoi salvare le ultime modifiche effettuate?   "),
                MessageIcon::Question, MessageButtons::YesNoCancel);
        // A refused close, or a save that failed, keeps the window and its edits.
        if (answer == MessageAnswer::Cancel || (answer == MessageAnswer::Yes && !Salva())) {
            event->ignore();
            focusCell(m_cursor.lastFocused());
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
