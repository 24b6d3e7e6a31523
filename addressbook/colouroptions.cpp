#include "addressbook/colouroptions.h"

#include <algorithm>

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "addressbook/colours.h"
#include "common/twips.h"
#include "widgets/suitefont.h"

namespace promemo::rubrica {

namespace {

const QString kTitle = QStringLiteral(" Rubrica di Promemo");
const QString kCaption = QStringLiteral("  Opzioni Colore Rubrica");
const QString kNoFill = QStringLiteral("Nessun riempimento (colore finestra)");

// In pixels.
constexpr int kSquare = 24;   // 360 twips
constexpr int kSpacing = 32;  // 480 twips
constexpr int kShapeMargin = 3;
constexpr int kChosenWidth = 3;
constexpr int kOtherWidth = 1;
constexpr QPoint kDialogPlace{6000, 1600}; // twips from the window's top-left corner
constexpr int kScreenBottomMargin = 400;   // twips

bool isChoice(int index)
{
    return index >= 0 && index < kColourChoices;
}

void frameChosen(const std::array<QFrame *, kColourChoices> &shapes, int chosen)
{
    for (int index = 0; index < kColourChoices; ++index)
        shapes[index]->setLineWidth(index == chosen ? kChosenWidth : kOtherWidth);
}

} // namespace

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
    : QDialog(window), m_session(settings, WindowMessages(messages, kTitle, this))
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
    // After a failed write the dialog stays open, so the choice is not lost unseen.
    connect(cmdOk, &QPushButton::clicked, this, [this] {
        if (m_session.applica())
            accept();
    });
    connect(cmdAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdApplica, &QPushButton::clicked, &m_session, &ColourOptionsSession::applica);
    connect(&m_session, &ColourOptionsSession::changed, this, &frmOpzioni::showChoice);
    showChoice();
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

        auto *swatch = new QLabel(frame);
        swatch->setObjectName(swatchName.arg(index));
        swatch->setGeometry(area);
        swatch->installEventFilter(this);
        if (index == 0) {
            swatch->setText(kNoFill);
            swatch->setAlignment(Qt::AlignCenter);
        }
        paintSwatch(swatch, sheetColours ? sheetQColor(index) : tabQColor(index));
        swatches[index] = swatch;
    }
}

bool frmOpzioni::eventFilter(QObject *watched, QEvent *event)
{
    // A press of any mouse button chooses a swatch.
    if (event->type() != QEvent::MouseButtonPress)
        return QDialog::eventFilter(watched, event);
    for (int index = 0; index < kColourChoices; ++index) {
        if (watched == lblColTasti[index])
            m_session.clickTabSwatch(index);
        else if (watched == lblColSfondo[index])
            m_session.clickSheetSwatch(index);
        else
            continue;
        return true;
    }
    return QDialog::eventFilter(watched, event);
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

void frmOpzioni::showChoice()
{
    frameChosen(ShpTasti, m_session.chosenTab());
    frameChosen(ShpSfondo, m_session.chosenSheet());
    cmdApplica->setEnabled(m_session.applyEnabled());
}

int frmOpzioni::sheetFrameWidth(int index) const
{
    return isChoice(index) ? ShpSfondo[index]->lineWidth() : 0;
}

} // namespace promemo::rubrica
