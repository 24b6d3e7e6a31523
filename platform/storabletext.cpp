#include "platform/storabletext.h"

#include <algorithm>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QValidator>

#include "common/cp1252.h"
#include "common/linebreaks.h"

namespace promemo {

namespace {

// Rewrites the edited text in place; the caret keeps its place after what came before it.
class StorableValidator final : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &position) const override
    {
        const QString stored = storableLine(input);
        if (stored != input) {
            position = int(storableLine(input.first(position)).size());
            input = stored;
        }
        return Acceptable;
    }

private:
    static QString storableLine(const QString &text) { return cp1252::storable(asOneLine(text)); }
};

bool isLineBreak(QChar c)
{
    return c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

// The line breaks of a document's text are the box's own, not characters of the file.
QString storableDocumentText(const QString &text)
{
    QString result;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isLineBreak(text[i]))
            continue;
        result += cp1252::storable(QStringView(text).sliced(start, i - start));
        if (i < text.size())
            result += text[i];
        start = i + 1;
    }
    return result;
}

} // namespace

void keepStorable(QLineEdit &box)
{
    box.setValidator(new StorableValidator(&box));
}

void keepStorable(QPlainTextEdit &box)
{
    QTextDocument *document = box.document();
    QObject::connect(document, &QTextDocument::contentsChange, &box,
                     [document, rewriting = false](int position, int, int added) mutable {
        if (rewriting || added <= 0)
            return;
        QTextCursor cursor(document);
        cursor.setPosition(position);
        cursor.setPosition(std::min(position + added, document->characterCount() - 1),
                           QTextCursor::KeepAnchor);
        const QString typed = cursor.selectedText();
        const QString stored = storableDocumentText(typed);
        if (stored == typed)
            return;
        rewriting = true;
        // One undo step with the typing or the paste.
        cursor.joinPreviousEditBlock();
        cursor.insertText(stored);
        cursor.endEditBlock();
        rewriting = false;
    });
}

} // namespace promemo
