#include "store/storeoutline.h"

#include "store/recordfields.h"

#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// A name in the scanned bytes, ASCII only.
struct Name {
    const char *data = nullptr;
    int size = 0;

    bool contains(const QByteArray &word) const
    {
        for (int start = 0; start + word.size() <= size; ++start) {
            if (std::memcmp(data + start, word.constData(), size_t(word.size())) == 0)
                return true;
        }
        return false;
    }
    bool operator==(const Name &other) const
    {
        return size == other.size && std::memcmp(data, other.data, size_t(size)) == 0;
    }
};

struct Tag {
    Name name;
    int start = 0; // at its '<'
    int end = 0; // after its '>'
    bool closing = false; // an end tag
    bool empty = false; // a start tag that ends itself: "<Cycle .../>"
};

// The words of the text children a reader takes, in the order it tests them, from the
// lists of fields the readers use.
template <typename Fields> QVector<QByteArray> wordsOf(const Fields &fields)
{
    QVector<QByteArray> words;
    RecordFields::forEach(fields, [&](const auto &field) { words << field.name.toLatin1(); });
    return words;
}

const QVector<QByteArray> &batteryWords()
{
    static const QVector<QByteArray> words = wordsOf(RecordFields::battery());
    return words;
}

// A model's battery names are text children too, tested after its fields.
const QVector<QByteArray> &modelWords()
{
    static const QVector<QByteArray> words = wordsOf(RecordFields::model())
        << QByteArrayLiteral("Battery");
    return words;
}

int firstWordIn(const Name &name, const QVector<QByteArray> &words)
{
    for (int i = 0; i < words.size(); ++i) {
        if (name.contains(words.at(i)))
            return i;
    }
    return -1;
}

// The readers' kind of a child of the root; -2 when two readers would both take it.
int kindOf(const Name &name)
{
    const bool location = name.contains(QByteArrayLiteral("Location"));
    const bool model = name.contains(QByteArrayLiteral("Model"));
    const bool battery = name.contains(QByteArrayLiteral("Battery"));
    if (int(location) + int(model) + int(battery) > 1)
        return -2;
    if (location)
        return int(RecordKind::Locations);
    if (model)
        return int(RecordKind::Models);
    return battery ? int(RecordKind::Batteries) : -1;
}

// What a record's reader does with the record's tags, followed as the scan meets them:
// false where the reader would stop on a fault or end a scan inside the record, so that
// it would not read the record alone as it reads it in the file.
class RecordRules {
public:
    RecordRules(const char *bytes, StoreOutline::Record &record)
        : bytes(bytes)
        , record(record)
    {
    }

    // A tag within the record; depth 1 for its children.
    bool onTag(const Tag &tag, int depth)
    {
        if (record.kind == int(RecordKind::Locations))
            return !tag.name.contains(QByteArrayLiteral("Locations"));
        if (record.kind < 0)
            return true; // skipped whole
        if (depth > 1)
            return withinChild(tag);
        if (!tag.closing)
            return startChild(tag);
        if (child == NameChild)
            record.name = textOf(childText, tag.start);
        child = Foreign;
        return true;
    }

private:
    enum Child { Foreign, TextChild, NameChild, ListScan };

    bool startChild(const Tag &tag)
    {
        const bool model = record.kind == int(RecordKind::Models);
        const int word = firstWordIn(tag.name, model ? modelWords() : batteryWords());
        childText = tag.end;
        if (word >= 0) {
            // The name is the first field of both records.
            child = word == 0 ? NameChild : TextChild;
        } else {
            listWord = model ? QByteArrayLiteral("FlightLog") : QByteArrayLiteral("Data");
            child = tag.name.contains(listWord) ? ListScan : Foreign;
        }
        return true;
    }

    bool withinChild(const Tag &tag)
    {
        if (child == TextChild || child == NameChild)
            return false; // a text child holding an element: the reader stops there
        if (child != ListScan)
            return true;
        if (tag.name.contains(listWord))
            return false; // the scan of the list would end inside it
        if (!tag.closing && record.kind == int(RecordKind::Models)
            && tag.name.contains(QByteArrayLiteral("LogData")))
            ++record.flights;
        return true;
    }

    // The text between two places, with its references resolved, as the reader gives it.
    QString textOf(int from, int to) const
    {
        if (to <= from)
            return QString();
        const char *text = bytes + from;
        const int size = to - from;
        if (!std::memchr(text, '&', size_t(size)))
            return QString::fromUtf8(text, size);
        QString resolved;
        int plain = 0;
        for (int at = 0; at < size; ++at) {
            if (text[at] != '&')
                continue;
            resolved += QString::fromUtf8(text + plain, at - plain);
            const int end = int(
                static_cast<const char *>(std::memchr(text + at, ';', size_t(size - at))) - text);
            const QByteArray reference(text + at + 1, end - at - 1);
            resolved += referencedText(reference);
            at = end;
            plain = end + 1;
        }
        return resolved + QString::fromUtf8(text + plain, size - plain);
    }

    // The scan checked every reference already.
    static QString referencedText(const QByteArray &reference)
    {
        if (reference == "amp")
            return QStringLiteral("&");
        if (reference == "lt")
            return QStringLiteral("<");
        if (reference == "gt")
            return QStringLiteral(">");
        if (reference == "quot")
            return QStringLiteral("\"");
        if (reference == "apos")
            return QStringLiteral("'");
        const bool hex = reference.startsWith("#x");
        const char32_t code = reference.mid(hex ? 2 : 1).toUInt(nullptr, hex ? 16 : 10);
        return QString::fromUcs4(&code, 1);
    }

    const char *bytes;
    StoreOutline::Record &record;
    Child child = Foreign;
    int childText = 0;
    QByteArray listWord;
};

const Name rootName { "Cellora", 7 };

// The bytes that character data holds as they stand: printable ASCII but for the markup
// characters, tab and line feed.
constexpr std::array<bool, 256> plainBytes = [] {
    std::array<bool, 256> table {};
    for (int c = 0x20; c < 0x7f; ++c)
        table[size_t(c)] = c != '<' && c != '&' && c != '>' && c != '"' && c != '\'';
    table['\t'] = table['\n'] = true;
    return table;
}();

// The bytes of the names followed: ASCII letters and '_' to start, then digits, '-' and
// '.' as well. A ':' (a namespace prefix) ends the name, which then does not go on.
enum NameByte : uchar { NameStart = 1, NameChar = 2 };
constexpr std::array<uchar, 256> nameBytes = [] {
    std::array<uchar, 256> table {};
    for (int c = 0; c < 256; ++c) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        const bool other = (c >= '0' && c <= '9') || c == '-' || c == '.';
        table[size_t(c)] = uchar((letter ? NameStart | NameChar : 0) | (other ? NameChar : 0));
    }
    return table;
}();

class Scanner {
public:
    explicit Scanner(const QByteArray &bytes)
        : text(bytes.constData())
        , size(bytes.size())
    {
    }

    // The declaration, the document type and the root's start tag: where the root's
    // content starts, and whether the root ends itself (and with it the bytes).
    bool root(int &contentStart, bool &empty);
    // The children of the root from `from`, its content's start, to the end of the bytes.
    // Where a child starts, known(place, record) is asked first whether that record is
    // known already; the scan moves over it when it is.
    template <typename Known>
    bool children(int from, QVector<StoreOutline::Record> &records, int &contentEnd, Known known);

private:
    char at(int i) const { return i < size ? text[i] : '\0'; }
    bool startsWith(const char *word) const
    {
        const int length = int(std::strlen(word));
        return pos + length <= size && std::memcmp(text + pos, word, size_t(length)) == 0;
    }
    void skipSpace()
    {
        while (pos < size && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\n'))
            ++pos;
    }
    bool atEnd()
    {
        skipSpace();
        return pos == size;
    }
    bool prolog();
    bool record(StoreOutline::Record &record);
    bool name(Name &out);
    bool tag(Tag &out);
    bool characters(char stop);
    bool reference();
    bool utf8();
    template <typename OnTag> bool content(const Tag &open, OnTag onTag);

    const char *text;
    int size;
    int pos = 0;
};

bool Scanner::root(int &contentStart, bool &empty)
{
    Tag root;
    if (!prolog() || !tag(root) || root.closing || !(root.name == rootName))
        return false;
    contentStart = pos;
    empty = root.empty;
    return !empty || atEnd();
}

template <typename Known>
bool Scanner::children(
    int from, QVector<StoreOutline::Record> &records, int &contentEnd, Known known)
{
    pos = from;
    for (;;) {
        if (!characters('<'))
            return false;
        if (at(pos + 1) == '/') {
            contentEnd = pos;
            Tag end;
            return tag(end) && end.name == rootName && atEnd();
        }
        StoreOutline::Record found;
        if (known(pos, found))
            pos = found.end;
        else if (!record(found))
            return false;
        records.append(found);
    }
}

bool Scanner::record(StoreOutline::Record &record)
{
    Tag start;
    if (!tag(start))
        return false;
    record.start = start.start;
    record.kind = kindOf(start.name);
    if (record.kind == -2)
        return false;
    if (record.kind == int(RecordKind::Locations)
        && !start.name.contains(QByteArrayLiteral("Locations")))
        return false; // the reader's scan would run past it
    RecordRules rules(text, record);
    if (!content(start, [&](const Tag &tag, int depth) { return rules.onTag(tag, depth); }))
        return false;
    record.end = pos;
    return true;
}

// The declaration and the document type as the writer writes them, or none.
bool Scanner::prolog()
{
    for (const char *declaration :
        { "<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "<?xml version=\"1.0\"?>" }) {
        if (startsWith(declaration)) {
            pos += int(std::strlen(declaration));
            break;
        }
    }
    skipSpace();
    if (startsWith("<!DOCTYPE Cellora>")) {
        pos += int(std::strlen("<!DOCTYPE Cellora>"));
        skipSpace();
    }
    return at(pos) == '<';
}

// ASCII names without a namespace prefix.
bool Scanner::name(Name &out)
{
    const int start = pos;
    if (pos == size || !(nameBytes[uchar(text[pos])] & NameStart))
        return false;
    while (++pos < size && (nameBytes[uchar(text[pos])] & NameChar))
        ;
    out = { text + start, pos - start };
    return true;
}

// Comments, instructions and sections ("<!", "<?") are not followed: no name starts there.
bool Scanner::tag(Tag &out)
{
    out = Tag();
    out.start = pos++;
    out.closing = at(pos) == '/';
    if (out.closing) {
        ++pos;
        if (!name(out.name))
            return false;
        skipSpace();
        if (at(pos) != '>')
            return false;
        out.end = ++pos;
        return true;
    }
    if (!name(out.name))
        return false;
    QVarLengthArray<Name, 8> attributes;
    for (;;) {
        const int before = pos;
        skipSpace();
        if (at(pos) == '>' || (at(pos) == '/' && at(pos + 1) == '>')) {
            out.empty = at(pos) == '/';
            pos += out.empty ? 2 : 1;
            break;
        }
        Name attribute;
        // A namespace declaration changes how names are read.
        if (pos == before || !name(attribute) || attribute == Name { "xmlns", 5 })
            return false;
        for (const Name &seen : attributes) {
            if (seen == attribute)
                return false; // an attribute given twice is a fault
        }
        attributes.append(attribute);
        skipSpace();
        if (at(pos) != '=')
            return false;
        ++pos;
        skipSpace();
        const char quote = at(pos);
        if (quote != '"' && quote != '\'')
            return false;
        ++pos;
        if (!characters(quote))
            return false;
        ++pos;
    }
    out.end = pos;
    return true;
}

// Moves over character data up to `stop` ('<' for text, the quote of a value), where the
// reader reads it as it stands: valid UTF-8, no control character other than tab and line
// feed (a carriage return is read as a line feed), references only to the predefined
// entities and to characters, no "]]>" in text.
bool Scanner::characters(char stop)
{
    const char *const end = text + size;
    for (;;) {
        const char *next = text + pos;
        while (next != end && plainBytes[uchar(*next)])
            ++next;
        pos = int(next - text);
        if (next == end)
            return false; // the bytes end inside
        const uchar c = uchar(*next);
        if (c == uchar(stop))
            return true;
        if (c == '&') {
            if (!reference())
                return false;
        } else if (c == '>' || c == '"' || c == '\'') {
            if (c == '>' && stop == '<' && pos >= 2 && text[pos - 1] == ']' && text[pos - 2] == ']')
                return false;
            ++pos;
        } else if (c < 0x80 || !utf8()) {
            return false; // '<' in a value, a control character
        }
    }
}

bool Scanner::reference()
{
    ++pos; // the '&'
    for (const char *entity : { "amp;", "lt;", "gt;", "quot;", "apos;" }) {
        if (startsWith(entity)) {
            pos += int(std::strlen(entity));
            return true;
        }
    }
    if (at(pos) != '#')
        return false;
    const bool hex = at(++pos) == 'x';
    pos += hex ? 1 : 0;
    uint code = 0;
    int digits = 0;
    for (;; ++pos, ++digits) {
        const char c = at(pos);
        int value = -1;
        if (c >= '0' && c <= '9')
            value = c - '0';
        else if (hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f')
            value = (c | 0x20) - 'a' + 10;
        if (value < 0 || digits > 8)
            break;
        code = code * (hex ? 16 : 10) + uint(value);
    }
    if (digits == 0 || digits > 8 || at(pos) != ';')
        return false;
    ++pos;
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF)
        || (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

// One character of two to four bytes; overlong forms, surrogates and the two
// non-characters XML leaves out are not followed.
bool Scanner::utf8()
{
    const uchar first = uchar(text[pos]);
    int length = 0;
    uint code = 0;
    if (first >= 0xC2 && first <= 0xDF) {
        length = 2;
        code = first & 0x1F;
    } else if (first >= 0xE0 && first <= 0xEF) {
        length = 3;
        code = first & 0x0F;
    } else if (first >= 0xF0 && first <= 0xF4) {
        length = 4;
        code = first & 0x07;
    } else {
        return false;
    }
    if (pos + length > size)
        return false;
    for (int i = 1; i < length; ++i) {
        const uchar next = uchar(text[pos + i]);
        if ((next & 0xC0) != 0x80)
            return false;
        code = (code << 6) | (next & 0x3F);
    }
    pos += length;
    return !((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF))
        || (code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE || code == 0xFFFF);
}

// Moves over the content of the element `open` started and its end tag, telling onTag of
// every tag within, with its depth (1 for the element's children). A tag that ends itself
// is told as a start and an end, as the reader gives it.
template <typename OnTag> bool Scanner::content(const Tag &open, OnTag onTag)
{
    QVarLengthArray<Name, 16> openNames;
    if (!open.empty)
        openNames.append(open.name);
    while (!openNames.isEmpty()) {
        Tag next;
        if (!characters('<') || !tag(next))
            return false;
        if (next.closing) {
            if (!(next.name == openNames.last()))
                return false;
            openNames.removeLast();
            if (!openNames.isEmpty() && !onTag(next, openNames.size()))
                return false;
            continue;
        }
        const int depth = openNames.size();
        if (!onTag(next, depth))
            return false;
        if (!next.empty) {
            openNames.append(next.name);
            continue;
        }
        Tag end = next;
        end.closing = true;
        end.start = next.end; // nothing between its start and its end
        if (!onTag(end, depth))
            return false;
    }
    return true;
}

} // namespace

bool StoreOutline::scan(const QByteArray &content)
{
    return scan(content, StoreOutline());
}

bool StoreOutline::scan(const QByteArray &content, const StoreOutline &earlier)
{
    bytes = content;
    found.clear();
    scanned = false;
    Scanner scanner(content);
    bool empty = false;
    if (!scanner.root(contentStart, empty))
        return false;
    contentEnd = contentStart;
    if (empty)
        return scanned = true;
    // A record that starts with all the bytes of a record `earlier` found is that record:
    // the scan would read the same bytes from the same place between two children. The
    // records of two versions of a store come in the same order, with one or two added or
    // removed here and there: the next few earlier records are looked at.
    constexpr int lookAhead = 4;
    int next = 0;
    const auto known = [&](int place, Record &record) {
        if (!earlier.scanned)
            return false;
        const int last = qMin(next + lookAhead, int(earlier.found.size()));
        for (int k = next; k < last; ++k) {
            const Record &candidate = earlier.found.at(k);
            const int length = candidate.end - candidate.start;
            if (place + length <= content.size()
                && std::memcmp(content.constData() + place,
                       earlier.bytes.constData() + candidate.start, size_t(length))
                    == 0) {
                record = candidate;
                record.start = place;
                record.end = place + length;
                next = k + 1;
                return true;
            }
        }
        return false;
    };
    scanned = scanner.children(contentStart, found, contentEnd, known);
    if (!scanned)
        found.clear();
    return scanned;
}

int StoreOutline::count(RecordKind kind) const
{
    return int(std::count_if(found.cbegin(), found.cend(),
        [kind](const Record &record) { return record.kind == int(kind); }));
}

int StoreOutline::flights() const
{
    int all = 0;
    for (const Record &record : found)
        all += record.flights;
    return all;
}

void StoreOutline::pairRecords(const StoreOutline &was, const StoreOutline &is,
    QVector<int> *wasChanged, QVector<int> *isChanged)
{
    const auto same = [&](int w, int i) {
        const Record &a = was.found.at(w);
        const Record &b = is.found.at(i);
        return a.end - a.start == b.end - b.start
            && std::memcmp(was.bytes.constData() + a.start, is.bytes.constData() + b.start,
                   size_t(a.end - a.start))
            == 0;
    };
    const int wasCount = was.found.size();
    const int isCount = is.found.size();
    int front = 0;
    while (front < wasCount && front < isCount && same(front, front))
        ++front;
    int back = 0;
    while (back < wasCount - front && back < isCount - front
        && same(wasCount - 1 - back, isCount - 1 - back))
        ++back;
    // Between them, records pair by their place when both hold as many.
    const bool alongside = wasCount == isCount;
    for (int place = front; place < wasCount - back; ++place) {
        if (!alongside || !same(place, place))
            wasChanged->append(place);
    }
    for (int place = front; place < isCount - back; ++place) {
        if (!alongside || !same(place, place))
            isChanged->append(place);
    }
}

QByteArray StoreOutline::documentOf(const QVector<int> &places) const
{
    QByteArray document = bytes.left(contentStart);
    for (const int place : places)
        document.append(
            bytes.constData() + found.at(place).start, found.at(place).end - found.at(place).start);
    return document + bytes.mid(contentEnd);
}
