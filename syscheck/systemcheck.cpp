#include "syscheck/systemcheck.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

#include "common/twips.h"
#include "platform/screen.h"

namespace promemo::syscheck {

namespace {

using namespace std::chrono_literals;

constexpr int kIndicatorSize = 20;
constexpr int kIndicatorStepTwips = 480;
constexpr int kWidth = 450;
// The row of ten indicators, centred.
constexpr int kRowLeft = (kWidth - 9 * twipsToPixels(kIndicatorStepTwips) - kIndicatorSize) / 2;
const QString kX11 = QStringLiteral("X11");
const QString kWayland = QStringLiteral("Wayland");

} // namespace

Indicator::Indicator(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(kIndicatorSize, kIndicatorSize);
}

void Indicator::light(const QColor &colour)
{
    m_lit = true;
    m_colour = colour;
    update();
}

void Indicator::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.setBrush(m_lit ? QBrush(m_colour) : Qt::NoBrush);
    painter.drawEllipse(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
}

frmErrore::frmErrore(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , Text1(new QPlainTextEdit(this))
    , Command1(new QPushButton(QStringLiteral("&Chiudi"), this))
{
    setWindowTitle(QStringLiteral(" System Files Error Window"));
    setFixedSize(420, 230);
    auto *label1 = new QLabel(
        QStringLiteral(" E' stata rilevata la mancanza dei seguenti files di sistema:"), this);
    label1->setGeometry(12, 10, 396, 20);
    Text1->setGeometry(12, 34, 396, 90);
    Text1->setReadOnly(true);
    auto *label2 = new QLabel(QStringLiteral("Il  programma  potrebbe  non funzionare  correttamente. "
                                             "Fai  riferimento alle  Faq presenti  sul sito di  Promemo."),
                              this);
    label2->setGeometry(12, 130, 396, 50);
    label2->setWordWrap(true);
    Command1->setGeometry(160, 190, 100, 28);
    connect(Command1, &QPushButton::clicked, this, &frmErrore::chiudiClicked);
}

void frmErrore::addMissing(const QString &fileName)
{
    Text1->setPlainText(Text1->toPlainText() + fileName + QStringLiteral("    "));
}

QString frmErrore::missingText() const
{
    return Text1->toPlainText();
}

frmMain::frmMain(const IClock &clock, QWidget *parent)
    : QWidget(parent)
    , m_clock(clock)
    , Label1(new QLabel(QStringLiteral("in corso..."), this))
    , Label4(new QLabel(QStringLiteral("Sistema operativo rilevato:         ") + kX11
                            + QStringLiteral("                    ") + kWayland,
                        this))
{
    setWindowTitle(QStringLiteral("  Promemo System Files Controller"));
    setFixedSize(kWidth, 190);
    auto *label2 = new QLabel(QStringLiteral("Controllo files di sistema:"), this);
    label2->setGeometry(12, 10, kWidth - 24, 18);
    Label1->setGeometry(12, 30, kWidth - 24, 18);
    for (int i = 0; i < int(m_files.size()); ++i) {
        m_files[i] = new Indicator(this);
        m_files[i]->move(kRowLeft + i * twipsToPixels(kIndicatorStepTwips), 60);
    }
    Label4->setGeometry(12, 98, kWidth - 24, 18);
    // The two session indicators stand under their names.
    const QFontMetrics metrics(Label4->font());
    const QString text = Label4->text();
    const auto under = [&](const QString &word) {
        const int start = metrics.horizontalAdvance(text.left(text.indexOf(word)));
        return 12 + start + (metrics.horizontalAdvance(word) - kIndicatorSize) / 2;
    };
    m_x11 = new Indicator(this);
    m_x11->move(under(kX11), 120);
    m_wayland = new Indicator(this);
    m_wayland->move(under(kWayland), 120);
    auto *label3 = new QLabel(
        QStringLiteral("In caso di  problemi verrà visualizzato  un messaggio di errore."), this);
    label3->setGeometry(12, 156, kWidth - 24, 18);
}

frmMain::~frmMain() = default;

Indicator *frmMain::sessionIndicator(SessionType session) const
{
    return session == SessionType::Wayland ? m_wayland : m_x11;
}

QString frmMain::currentPath() const
{
    return m_currentPath;
}

void frmMain::showPath(const QString &path)
{
    m_currentPath = path;
    Label1->setText(Label1->fontMetrics().elidedText(path, Qt::ElideMiddle, Label1->width()));
}

void frmMain::run(const CheckInput &input)
{
    m_input = input;
    m_missing.clear();
    show();
    sessionIndicator(input.session)->light(kFoundColour);
    const QString noSound = QDir(input.programFolder).filePath(QStringLiteral("nosuono.wav"));
    if (!input.programFolder.isEmpty() && QFile::exists(noSound))
        QFile::remove(noSound);
    checkFile(0);
}

// One file, then the next 100 ms later; after the last, the end.
void frmMain::checkFile(int index)
{
    const int count = std::min(int(m_input.files.size()), int(m_files.size()));
    if (index >= count) {
        finishCheck();
        return;
    }
    const SystemFile &file = m_input.files[size_t(index)];
    const QString found = m_input.locate(file);
    showPath(found.isEmpty() ? m_input.systemFolder + u'/' + file.name : found);
    m_files[size_t(index)]->light(found.isEmpty() ? kMissingColour : kFoundColour);
    if (found.isEmpty())
        m_missing.push_back(index);
    m_clock.after(100ms, this, [this, index] { checkFile(index + 1); });
}

void frmMain::finishCheck()
{
    if (m_missing.empty()) {
        m_clock.after(200ms, this, [this] {
            close();
            emit finished();
        });
        return;
    }
    m_error = m_windows.adopt(new frmErrore);
    connect(m_error, &frmErrore::chiudiClicked, this, [this] {
        m_error->close();
        close();
        emit finished();
    });
    for (const int i : m_missing)
        m_error->addMissing(m_input.files[size_t(i)].name);
    m_error->show();
}

} // namespace promemo::syscheck
