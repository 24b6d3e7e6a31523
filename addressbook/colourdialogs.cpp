#include "addressbook/colourdialogs.h"

#include <algorithm>
#include <functional>
#include <utility>

#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <qdrawutil.h>
#include "common/twips.h"
#include "platform/keystate.h"
#include "widgets/suitefont.h"

namespace promemo::rubrica {

namespace {

const QString kTitle = QStringLiteral(" Rubrica di Promemo");
const QString kCaption = QStringLiteral("  Opzioni Colore Rubrica");
const QString kNoFill = QStringLiteral("Nessun riempimento (colore finestra)");

constexpr std::array<Rgb, kColourChoices> kTabColours{{
    {}, {239, 239, 248}, {240, 255, 240}, {255, 247, 230}, {255, 242, 242}, {255, 235, 225},
    {239, 242, 236}, {234, 234, 234},
}};
constexpr std::array<Rgb, kColourChoices> kSheetColours{{
    {}, {207, 207, 231}, {213, 255, 213}, {255, 230, 183}, {255, 193, 193}, {255, 219, 202},
    {220, 220, 186}, {193, 193, 193},
}};

// Palette swatches by colour code, places in twips (Label1, Label2, Label3, Label4, Label5,
// Label6).
constexpr std::array<QPoint, 6> kSwatchPlaces{{
    {60, 50}, {380, 50}, {60, 360}, {380, 360}, {720, 50}, {720, 360},
}};
constexpr int kSwatchSize = 255;   // twips
constexpr int kPaletteWidth = 1020; // twips
constexpr int kPaletteHeight = 660; // twips
constexpr QPoint kPalettePlace{3360, 720}; // twips from the window's client area

// Options dialog, in pixels.
constexpr int kSquare = 24;   // 360 twips
constexpr int kSpacing = 32;  // 480 twips
constexpr int kShapeMargin = 3;
constexpr int kChosenWidth = 3;
constexpr int kOtherWidth = 1;
constexpr QPoint kDialogPlace{6000, 1600}; // twips from the window's top-left corner
constexpr int kScreenBottomMargin = 400;   // twips

QColor qColor(const Rgb &rgb)
{
    return {rgb.red, rgb.green, rgb.blue};
}

QColor buttonFace()
{
    return QApplication::palette().color(QPalette::Button);
}

bool isChoice(int index)
{
    return index >= 0 && index < kColourChoices;
}

// A label that reports a press of any mouse button.
class SwatchLabel : public QLabel
{
public:
    SwatchLabel(QWidget *parent, std::function<void()> onPress)
        : QLabel(parent), m_onPress(std::move(onPress))
    {
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        event->accept();
        m_onPress();
    }

private:
    std::function<void()> m_onPress;
};

void paint(QLabel *swatch, const QColor &colour)
{
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, colour);
    swatch->setPalette(palette);
    swatch->setAutoFillBackground(true);
    swatch->setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

QString writeFailure(const Settings &settings)
{
    return QStringLiteral("  Impossibile salvare i colori della Rubrica nel file  ")
        + QDir::toNativeSeparators(settings.file().path())
        + QStringLiteral("  \r\n\r\n  Il file potrebbe essere di sola lettura o il disco pieno.  ");
}

} // namespace

QColor tabQColor(int index)
{
    return isChoice(index) && index > 0 ? qColor(kTabColours[index]) : buttonFace();
}

QColor sheetQColor(int index)
{
    return isChoice(index) && index > 0 ? qColor(kSheetColours[index]) : buttonFace();
}

QColor textQColor(TextColour colour)
{
    return qColor(rgbOf(colour));
}

// --- frmColore ----------------------------------------------------------------------------

frmColore::frmColore(QWidget *window) : QWidget(window, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmColore"));
    setFixedSize(twipsToPixels(kPaletteWidth), twipsToPixels(kPaletteHeight));
    setFocusPolicy(Qt::StrongFocus);
    for (int code = 0; code < int(m_swatches.size()); ++code) {
        const auto colour = TextColour(code);
        auto *swatch = new QLabel(this);
        swatch->setObjectName(QStringLiteral("Label%1").arg(code + 1));
        swatch->setGeometry(swatchRect(colour));
        swatch->setAttribute(Qt::WA_TransparentForMouseEvents);
        paint(swatch, textQColor(colour));
        swatch->setFrameStyle(QFrame::NoFrame);
        m_swatches[code] = swatch;
    }
}

QRect frmColore::swatchRect(TextColour colour) const
{
    const int code = int(colour);
    if (code < 0 || code >= int(kSwatchPlaces.size()))
        return {};
    const QPoint place = kSwatchPlaces[code];
    return {twipsToPixels(place.x()), twipsToPixels(place.y()), twipsToPixels(kSwatchSize),
            twipsToPixels(kSwatchSize)};
}

void frmColore::open()
{
    const QWidget *window = parentWidget();
    const QPoint origin = window ? window->mapToGlobal(QPoint(0, 0)) : QPoint();
    move(origin + QPoint(twipsToPixels(kPalettePlace.x()), twipsToPixels(kPalettePlace.y())));
    show();
    raise();
    activateWindow();
    setFocus(Qt::PopupFocusReason);
}

void frmColore::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    for (int code = 0; code < int(m_swatches.size()); ++code) {
        if (!swatchRect(TextColour(code)).contains(event->position().toPoint()))
            continue;
        emit colourChosen(TextColour(code));
        // The window focuses the cell; the palette closes even where the desktop does not
        // take the activation away from it.
        close();
        return;
    }
}

void frmColore::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    // A modifier held on its own types nothing.
    if (isModifierKey(event->key()))
        return;
    emit keyTyped();
    close();
}

void frmColore::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        close();
}

void frmColore::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow())
        close();
}

void frmColore::closeEvent(QCloseEvent *event)
{
    const bool wasOpen = isVisible();
    QWidget::closeEvent(event);
    if (wasOpen)
        emit closed();
}

void frmColore::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), false, &palette().brush(QPalette::Button));
    // A thin line around each swatch, outside its own colour.
    painter.setPen(QPen(palette().color(QPalette::Dark), 0));
    for (const QLabel *swatch : m_swatches)
        painter.drawRect(swatch->geometry().adjusted(-1, -1, 0, 0));
}

// --- frmOpzioni ---------------------------------------------------------------------------

QPoint optionsDialogPosition(QPoint windowTopLeft, QSize size, const QRect &screen)
{
    QPoint position = windowTopLeft
        + QPoint(twipsToPixels(kDialogPlace.x()), twipsToPixels(kDialogPlace.y()));
    const int screenBottom = screen.y() + screen.height();
    if (position.y() + size.height() > screenBottom)
        position.setY(std::max(screen.y(), screenBottom - twipsToPixels(kScreenBottomMargin)
                                               - size.height()));
    return position;
}

frmOpzioni::frmOpzioni(const Settings &settings, IMessageBoxes &messages, QWidget *window,
                       const IScreen *screen)
    : QDialog(window), m_settings(settings), m_messages(messages)
{
    setObjectName(QStringLiteral("frmOpzioni"));
    setWindowTitle(kCaption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::CustomizeWindowHint);
    setModal(true);
    setFont(suiteFont());
    setFixedSize(264, 246);

    auto *tabFrame = new QGroupBox(QStringLiteral("Colore pulsanti rubrica"), this);
    tabFrame->setObjectName(QStringLiteral("Frame1"));
    tabFrame->setGeometry(8, 6, 248, 96);
    buildFrame(tabFrame, lblColTasti, ShpTasti, false);
    auto *sheetFrame = new QGroupBox(QStringLiteral("Colore sfondo rubrica"), this);
    sheetFrame->setObjectName(QStringLiteral("Frame2"));
    sheetFrame->setGeometry(8, 108, 248, 96);
    buildFrame(sheetFrame, lblColSfondo, ShpSfondo, true);

    cmdOk = new QPushButton(QStringLiteral("Ok"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setGeometry(18, 214, 75, 23);
    cmdAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    cmdAnnulla->setGeometry(99, 214, 75, 23);
    cmdApplica = new QPushButton(QStringLiteral("Applica"), this);
    cmdApplica->setObjectName(QStringLiteral("cmdApplica"));
    cmdApplica->setGeometry(180, 214, 75, 23);
    connect(cmdOk, &QPushButton::clicked, this, &frmOpzioni::okClicked);
    connect(cmdAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdApplica, &QPushButton::clicked, this, &frmOpzioni::applica);

    m_chosenSheet = m_settings.sheetColour();
    m_chosenTab = m_settings.tabColour();
    frameChosen(ShpTasti, m_chosenTab);
    frameChosen(ShpSfondo, m_chosenSheet);
    cmdApplica->setEnabled(false);
    place(window, screen);
}

void frmOpzioni::buildFrame(QWidget *frame, Swatches &swatches, Shapes &shapes, bool sheetColours)
{
    const QString swatchName = sheetColours ? QStringLiteral("lblColSfondo%1")
                                            : QStringLiteral("lblColTasti%1");
    const QString shapeName = sheetColours ? QStringLiteral("ShpSfondo%1")
                                           : QStringLiteral("ShpTasti%1");
    for (int index = 0; index < kColourChoices; ++index) {
        const QRect area = index == 0
            ? QRect(16, 24, kSpacing * (kColourChoices - 2) + kSquare, 20)
            : QRect(16 + kSpacing * (index - 1), 60, kSquare, kSquare);

        auto *shape = new QFrame(frame);
        shape->setObjectName(shapeName.arg(index));
        shape->setFrameStyle(QFrame::Box | QFrame::Plain);
        shape->setGeometry(area.adjusted(-kShapeMargin, -kShapeMargin, kShapeMargin, kShapeMargin));
        shape->setAttribute(Qt::WA_TransparentForMouseEvents);
        shapes[index] = shape;

        auto *swatch = new SwatchLabel(frame, [this, index, sheetColours] {
            if (sheetColours)
                clickSheetSwatch(index);
            else
                clickTabSwatch(index);
        });
        swatch->setObjectName(swatchName.arg(index));
        swatch->setGeometry(area);
        if (index == 0) {
            swatch->setText(kNoFill);
            swatch->setAlignment(Qt::AlignCenter);
        }
        paint(swatch, sheetColours ? sheetQColor(index) : tabQColor(index));
        swatches[index] = swatch;
    }
}

void frmOpzioni::place(QWidget *window, const IScreen *screen)
{
    if (!window)
        return;
    const PrimaryScreen primary;
    const IScreen &target = screen ? *screen : static_cast<const IScreen &>(primary);
    // The available area, so that the dialog never ends under a panel at the bottom.
    move(optionsDialogPosition(window->frameGeometry().topLeft(), frameGeometry().size(),
                               target.availableGeometry()));
}

void frmOpzioni::frameChosen(const Shapes &shapes, int chosen)
{
    for (int index = 0; index < kColourChoices; ++index)
        shapes[index]->setLineWidth(index == chosen ? kChosenWidth : kOtherWidth);
}

bool frmOpzioni::applyEnabled() const
{
    return cmdApplica->isEnabled();
}

int frmOpzioni::tabFrameWidth(int index) const
{
    return isChoice(index) ? ShpTasti[index]->lineWidth() : 0;
}

int frmOpzioni::sheetFrameWidth(int index) const
{
    return isChoice(index) ? ShpSfondo[index]->lineWidth() : 0;
}

void frmOpzioni::clickTabSwatch(int index)
{
    if (!isChoice(index))
        return;
    m_chosenTab = index;
    if (m_lastApplied != index + 10)
        cmdApplica->setEnabled(true);
    frameChosen(ShpTasti, index);
}

void frmOpzioni::clickSheetSwatch(int index)
{
    if (!isChoice(index))
        return;
    m_chosenSheet = index;
    if (m_lastApplied != index)
        cmdApplica->setEnabled(true);
    frameChosen(ShpSfondo, index);
}

bool frmOpzioni::applica()
{
    if (!m_settings.setAddressBookColours(m_chosenSheet, m_chosenTab)) {
        // Nothing is reported as applied: the window keeps its colours and Applica stays
        // available for another try.
        cmdApplica->setEnabled(true);
        m_messages.warn(kTitle, writeFailure(m_settings), this);
        return false;
    }
    m_lastApplied = 30;
    cmdApplica->setEnabled(false);
    emit applied(m_chosenTab, m_chosenSheet);
    return true;
}

void frmOpzioni::okClicked()
{
    // After a failed write the dialog stays open, so the choice is not lost unseen.
    if (applica())
        accept();
}

} // namespace promemo::rubrica
