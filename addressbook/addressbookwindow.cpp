#include "addressbook/addressbookwindow.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

#include "addressbook/colouroptions.h"
#include "addressbook/colourpalette.h"
#include "addressbook/colours.h"
#include "addressbook/sheetlayout.h"
#include "addressbook/toolbar.h"
#include "common/programfolder.h"
#include "platform/captions.h"
#include "platform/keystate.h"
#include "widgets/centring.h"
#include "widgets/registeredwidget.h"
#include "widgets/suitefont.h"

namespace promemo::rubrica {

namespace {

const QString kCaption = QString::fromUtf16(kAddressBookCaption);

} // namespace

frmRubrica::frmRubrica(const Services &services, const QString &programFolder, QWidget *parent)
    : QWidget(parent), m_services(services),
      m_session(programFolder, WindowMessages(services.messageBoxes, kCaption, this), services.windows),
      m_toolbar(new Toolbar(this)), m_searchBox(new QLineEdit(this)), m_tabs(this), m_grid(this)
{
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_QuitOnClose);
    setFixedSize(layout::windowSize());
    setFont(suiteFont(8));
    setMouseTracking(true);

    connect(m_toolbar, &Toolbar::triggered, this, &frmRubrica::toolbarTriggered);
    connect(m_toolbar, &Toolbar::hovered, this, [this](int index) {
        if (index != TextColourButton)
            closePalette();
    });
    m_searchBox->setObjectName(QStringLiteral("Text4"));
    m_searchBox->setGeometry(searchBoxRect());
    m_searchBox->setToolTip(searchBoxTooltip());
    m_searchBox->setMouseTracking(true);
    connect(m_searchBox, &QLineEdit::textChanged, &m_session, &AddressBookSession::searchTextChanged);
    connectCells();
    connectSession();

    // The window sees every key before its controls (F1, the cells' keys, the search box).
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

frmRubrica::~frmRubrica()
{
    if (m_options)
        delete m_options.data();
    if (m_palette)
        delete m_palette.data();
}

void frmRubrica::connectCells()
{
    for (GridCell *each : m_grid.cells()) {
        connect(each, &GridCell::focusEntered, this, [this](GridCell *entered) {
            if (m_session.focusEntered(entered->ref()))
                entered->caretToEnd();
        });
        connect(each, &GridCell::pressed, this, [this](GridCell *pressed, Qt::MouseButton button) {
            m_session.pressed(pressed->ref());
            if (button == Qt::LeftButton)
                pressed->deselect();
        });
        connect(each, &GridCell::pasteRequested, this, &frmRubrica::pasteInCell);
        // Typing, a paste of one line and a drop: the session follows the cell's text.
        connect(each, &QLineEdit::textEdited, this,
                [this, each](const QString &text) { m_session.cellEdited(each->ref(), text); });
    }
}

void frmRubrica::connectSession()
{
    AddressBookSession *session = &m_session;
    connect(session, &AddressBookSession::rowsChanged, this, [this] { m_grid.show(m_session.rows()); });
    connect(session, &AddressBookSession::cellChanged, this,
            [this](CellRef ref) { cell(ref)->setContents(m_session.cell(ref)); });
    connect(session, &AddressBookSession::paintChanged, this,
            [this] { m_grid.showPaint(m_session.cursor()); });
    connect(session, &AddressBookSession::tabsChanged, this, &frmRubrica::paintTabs);
    connect(session, &AddressBookSession::focusCell, this,
            [this](CellRef ref, Caret caret) { m_grid.focus(ref, caret); });
    connect(session, &AddressBookSession::focusSearchBox, this, &frmRubrica::focusSearchBox);
    connect(session, &AddressBookSession::messageClosed, m_toolbar, &Toolbar::releaseTaken);
    connect(session, &AddressBookSession::toolbarToRest, m_toolbar, &Toolbar::azzeraPulsanti);
    connect(session, &AddressBookSession::helpRequested, this,
            [this](const QString &topic) { m_services.help.open(topic); });
}

std::unique_ptr<frmRubrica> startAddressBook(const Services &services)
{
    auto window = std::make_unique<frmRubrica>(services, programFolder());
    if (!window->session().openDataFile())
        return nullptr;
    window->start();
    return window;
}

void frmRubrica::start()
{
    m_toolbar->azzeraPulsanti();
    paintTabs();
    centreIn(*this, m_services.screen.availableGeometry());
    show();
    activateWindow();

    m_registration = registerTopLevel(m_services.windows, *this);
    m_session.tabClicked(0);
}

void frmRubrica::paintTabs()
{
    m_tabs.paint(m_session.currentSheet(), tabQColor(m_session.tabColour()),
                 sheetQColor(m_session.sheetColour()));
}

void frmRubrica::focusSearchBox(bool selectAll)
{
    if (selectAll)
        m_searchBox->selectAll();
    m_searchBox->setFocus(Qt::OtherFocusReason);
}

void frmRubrica::toClipboard(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

void frmRubrica::toolbarTriggered(int index)
{
    AddressBookSession &s = m_session;
    switch (index) {
    case SaveButton: s.Salva(); break;
    case CutButton: toClipboard(s.Taglia()); break;
    case CopyButton: toClipboard(s.Copia()); break;
    case PasteButton: s.Incolla(QGuiApplication::clipboard()->text()); break;
    case BoldButton: s.Grassetto(); break;
    case UnderlineButton: s.Sottolineato(); break;
    case InsertRowButton: s.Inserisci_Riga(); break;
    case DeleteRowButton: s.Togli_Riga(); break;
    case TextColourButton: openPalette(); break;
    case SearchButton: s.Cerca(m_searchBox->text()); break;
    case OptionsButton: openOptions(); break;
    case HelpButton: s.Apre_Guida(); break;
    case CloseButton: close(); break;
    default: break;
    }
}

void frmRubrica::pasteInCell(GridCell *target, const QString &text)
{
    const bool selected = target->hasSelectedText();
    const int from = selected ? target->selectionStart() : target->cursorPosition();
    const int length = selected ? int(target->selectedText().size()) : 0;
    m_session.pasteInCell(target->ref(), from, length, text);
}

void frmRubrica::openPalette()
{
    if (!m_palette) {
        m_palette = new frmColore(this);
        connect(m_palette, &frmColore::colourChosen, &m_session, &AddressBookSession::chooseTextColour);
        connect(m_palette, &frmColore::keyTyped, this, [this] {
            m_grid.focus(m_session.cursor().current(), Caret::AsIs);
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
    auto *dialog = new frmOpzioni(m_session.settings(), m_services.messageBoxes, this, &m_services.screen);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(&dialog->session(), &ColourOptionsSession::applied, &m_session, &AddressBookSession::setColours);
    // The dialog is modal: the button's release goes to it.
    connect(dialog, &QDialog::finished, m_toolbar, &Toolbar::releaseTaken);
    m_options = dialog;
    dialog->show();
}

bool frmRubrica::cellKeyPressed(GridCell *keyCell, QKeyEvent *event)
{
    const CellRef here = keyCell->ref();
    if (const auto key = moveKeyOf(event->key())) {
        const bool shiftAlone = (event->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier;
        return m_session.moveKeyPressed(here, *key, shiftAlone);
    }
    if (event->key() == Qt::Key_F4) {
        m_session.searchKeyPressed(here);
        return true;
    }
    const TypedKey typed = isModifierKey(event->key()) ? TypedKey::Modifier
                           : event->text().isEmpty()   ? TypedKey::Other
                                                       : TypedKey::Printable;
    m_session.keyPressed(here, typed);
    return false;
}

bool frmRubrica::searchBoxKeyPressed(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_session.Cerca(m_searchBox->text());
        return true;
    case Qt::Key_Down:
        m_session.searchBoxDown();
        return true;
    default:
        return false;
    }
}

bool frmRubrica::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        auto *keyCell = qobject_cast<GridCell *>(watched);
        if (key->key() == Qt::Key_F1) {
            if (keyCell)
                m_session.helpKeyPressed(keyCell->ref());
            else
                m_session.Apre_Guida();
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
        if (watched == m_tabs.sheet())
            return true;
        if (const int tab = m_tabs.indexOf(watched); tab >= 0) {
            m_session.tabClicked(tab);
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
    m_grid.focus({1, Column::Name}, Caret::End);
    QWidget::mousePressEvent(event);
}

void frmRubrica::closeEvent(QCloseEvent *event)
{
    if (!m_session.Form_QueryUnload()) {
        event->ignore();
        return;
    }
    closePalette();
    if (m_options)
        m_options->close();
    m_session.Form_Unload();
    event->accept();
}

} // namespace promemo::rubrica
