#include "addressbookedit.h"

#include <algorithm>

#include "common/cp1252.h"

namespace promemo::rubrica {
namespace {

constexpr std::array<Rgb, kColourChoices> kTabColours = {
    Rgb{}, Rgb{239, 239, 248}, Rgb{240, 255, 240}, Rgb{255, 247, 230},
    Rgb{255, 242, 242}, Rgb{255, 235, 225}, Rgb{239, 242, 236}, Rgb{234, 234, 234}};
constexpr std::array<Rgb, kColourChoices> kSheetColours = {
    Rgb{}, Rgb{207, 207, 231}, Rgb{213, 255, 213}, Rgb{255, 230, 183},
    Rgb{255, 193, 193}, Rgb{255, 219, 202}, Rgb{220, 220, 186}, Rgb{193, 193, 193}};

bool isValidRow(int row)
{
    return row >= 1 && row <= kRows;
}

bool onLeftPage(int row)
{
    return row <= kPageRows;
}

int rowBelow(int row)
{
    return row == kRows ? 1 : row + 1;
}

int rowAbove(int row)
{
    return row == 1 ? kRows : row - 1;
}

Cell &cellOf(Sheet &sheet, int row, Column column)
{
    Row &r = sheet[std::size_t(row - 1)];
    return column == Column::Name ? r.name : r.number;
}

const Cell &cellOf(const Sheet &sheet, int row, Column column)
{
    const Row &r = sheet[std::size_t(row - 1)];
    return column == Column::Name ? r.name : r.number;
}

// Reading order across both pages: name i, number i, name i + 22, number i + 22, name i + 1.
CellRef nextInReadingOrder(CellRef from)
{
    const int i = from.row;
    if (from.column == Column::Name)
        return {i, Column::Number};
    if (i == kRows)
        return {1, Column::Name};
    return {onLeftPage(i) ? i + kPageRows : i - kPageRows + 1, Column::Name};
}

CellRef previousInReadingOrder(CellRef from)
{
    const int i = from.row;
    if (from.column == Column::Number)
        return {i, Column::Name};
    if (i == 1)
        return {kRows, Column::Number};
    return {onLeftPage(i) ? i + kPageRows - 1 : i - kPageRows, Column::Number};
}

bool isSeparator(QChar c)
{
    return c == u'.' || c == u' ' || c == u'/' || c == u'-';
}

QString withoutSeparators(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (!isSeparator(c))
            out.append(c);
    }
    return out;
}

} // namespace

std::optional<MoveKey> moveKeyOf(int qtKey)
{
    switch (qtKey) {
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

std::optional<CellRef> moveTarget(CellRef from, MoveKey key, bool mouseClicked)
{
    if (!isValidRow(from.row))
        return std::nullopt;
    const int i = from.row;
    switch (key) {
    case MoveKey::Enter:
        // Name i, number i, name i + 1: Enter clears the mouse flag before it moves.
        if (from.column == Column::Name)
            return CellRef{i, Column::Number};
        return CellRef{rowBelow(i), Column::Name};
    case MoveKey::Right:
        if (mouseClicked)
            return std::nullopt;
        return nextInReadingOrder(from);
    case MoveKey::Left:
        if (mouseClicked)
            return std::nullopt;
        return previousInReadingOrder(from);
    case MoveKey::Up:
        return CellRef{rowAbove(i), from.column};
    case MoveKey::Down:
        return CellRef{rowBelow(i), from.column};
    case MoveKey::PageUp:
        return CellRef{onLeftPage(i) ? 1 : kPageRows + 1, from.column};
    case MoveKey::PageDown:
        return CellRef{onLeftPage(i) ? kPageRows : kRows, from.column};
    }
    return std::nullopt;
}

QString copyMarked(const Sheet &sheet, Column column, const Marks &marks)
{
    QString buffer;
    for (int row = 1; row <= kRows; ++row) {
        if (marks[std::size_t(row - 1)])
            buffer += cellOf(sheet, row, column).text + u'\n';
    }
    return buffer;
}

QString cutMarked(Sheet &sheet, Column column, const Marks &marks)
{
    QString buffer = copyMarked(sheet, column, marks);
    for (int row = 1; row <= kRows; ++row) {
        if (marks[std::size_t(row - 1)])
            cellOf(sheet, row, column) = Cell{};
    }
    return buffer;
}

QString annullaVbCr(QString text)
{
    if (!text.contains(u'\r'))
        return text;
    if (!text.contains(u'\n'))
        return text.replace(u'\r', u'\n');
    // An LF is dropped when the incoming text has another LF right after it, so the blank
    // lines of CR LF text stay and only doubled bare line feeds collapse.
    QString out;
    out.reserve(text.size());
    for (qsizetype k = 0; k < text.size(); ++k) {
        const QChar c = text[k];
        if (c == u'\r')
            continue;
        if (c == u'\n' && k + 1 < text.size() && text[k + 1] == u'\n')
            continue;
        out.append(c);
    }
    return out;
}

int pasteLines(Sheet &sheet, Column column, int row, QString text)
{
    if (!isValidRow(row))
        return std::clamp(row, 1, kRows);
    int current = row;
    QStringView rest(text);
    for (;;) {
        const qsizetype lineEnd = rest.indexOf(u'\n');
        if (lineEnd < 0) {
            cellOf(sheet, current, column).text += rest;
            break;
        }
        cellOf(sheet, current, column).text += rest.first(lineEnd);
        rest = rest.sliced(lineEnd + 1);
        if (++current > kRows)
            break;
    }
    return std::max(current - 1, 1);
}

std::optional<int> pasteIntoCell(Sheet &sheet, CellRef at, int from, int length, const QString &text)
{
    const QString normalised = annullaVbCr(text);
    if (normalised.contains(u'\t') || !isValidRow(at.row))
        return std::nullopt;
    const qsizetype lineEnd = normalised.indexOf(u'\n');
    QString &cell = cellOf(sheet, at.row, at.column).text;
    from = std::clamp(from, 0, int(cell.size()));
    cell.replace(from, std::clamp(length, 0, int(cell.size()) - from), normalised.left(lineEnd));
    if (lineEnd < 0)
        return at.row;
    return pasteLines(sheet, at.column, at.row + 1, normalised.mid(lineEnd + 1));
}

void insertRow(Sheet &sheet, int row)
{
    if (!isValidRow(row))
        return;
    for (int j = kRows - 1; j >= row; --j)
        sheet[std::size_t(j)] = sheet[std::size_t(j - 1)];
    sheet[std::size_t(row - 1)] = Row{};
}

void deleteRow(Sheet &sheet, int row)
{
    if (!isValidRow(row))
        return;
    for (int j = row; j < kRows; ++j)
        sheet[std::size_t(j - 1)] = sheet[std::size_t(j)];
    sheet[std::size_t(kRows - 1)] = Row{};
}

QString searchKey(QStringView typed)
{
    // Every blank goes, so trimming the ends first changes nothing.
    return withoutSeparators(typed);
}

QString comparedText(QStringView field)
{
    return withoutSeparators(field);
}

bool matches(QStringView key, QStringView compared)
{
    // An empty field is never a hit, not even for an empty key.
    if (compared.isEmpty())
        return false;
    return compared.toString().toUpper().contains(key.toString().toUpper());
}

std::optional<SearchHit> searchStep(SearchState &state, QStringView key,
                                    const std::function<std::optional<RecordTexts>(int)> &read)
{
    for (int r = std::max(state.position, 1); r <= kRecords; ++r) {
        const std::optional<RecordTexts> texts = read(r);
        if (!texts) {
            state.found = false;
            continue;
        }
        if (matches(key, comparedText(texts->name))) {
            state.found = true;
            state.position = r;
            if (r != state.lastHit) {
                state.lastHit = r;
                return SearchHit{r, Column::Name};
            }
            // The name was the previous hit: only the number of this record is left.
        } else {
            state.found = false;
        }
        if (matches(key, comparedText(texts->number))) {
            state.lastHit = r;
            state.found = true;
            state.position = r + 1;
            return SearchHit{r, Column::Number};
        }
        state.found = false;
    }
    state.restart();
    return std::nullopt;
}

std::optional<RecordTexts> recordTexts(DataFile &file, int record)
{
    const std::optional<QByteArray> bytes = file.readRecord(record);
    if (!bytes)
        return std::nullopt;
    const QByteArrayView view(*bytes);
    return RecordTexts{cp1252::decode(view.first(kNameBytes)),
                       cp1252::decode(view.sliced(kNameBytes, kNumberBytes))};
}

std::optional<Rgb> tabColour(int index)
{
    if (index < 1 || index >= int(kTabColours.size()))
        return std::nullopt;
    return kTabColours[std::size_t(index)];
}

std::optional<Rgb> sheetColour(int index)
{
    if (index < 1 || index >= int(kSheetColours.size()))
        return std::nullopt;
    return kSheetColours[std::size_t(index)];
}

} // namespace promemo::rubrica
