#include "LayoutFile.h"

#include "ReportError.h"
#include "ValueFormat.h"

#include "data/ErrorText.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringList>

namespace layoutfile {

namespace {

struct Token
{
    QString key;
    QString value;
    bool hasValue = false;
};

// A line's words: bare words, key=value and key="quoted value" (\" and \\ escaped).
class LineReader
{
public:
    LineReader(const QString &fileName, int line) : m_file(fileName), m_line(line) {}

    [[noreturn]] void fail(const QString &problem) const { throw LayoutError(m_file, m_line, problem); }

    QVector<Token> tokens(const QString &text) const
    {
        QVector<Token> result;
        qsizetype i = 0;
        const qsizetype n = text.size();
        while (i < n) {
            while (i < n && text.at(i).isSpace())
                ++i;
            if (i >= n)
                break;
            Token token;
            while (i < n && !text.at(i).isSpace() && text.at(i) != QLatin1Char('='))
                token.key += text.at(i++);
            if (i < n && text.at(i) == QLatin1Char('=')) {
                token.hasValue = true;
                ++i;
                if (i < n && text.at(i) == QLatin1Char('"')) {
                    ++i;
                    bool closed = false;
                    while (i < n) {
                        const QChar c = text.at(i++);
                        if (c == QLatin1Char('"')) {
                            closed = true;
                            break;
                        }
                        if (c == QLatin1Char('\\') && i < n)
                            token.value += text.at(i++);
                        else
                            token.value += c;
                    }
                    if (!closed)
                        fail(QStringLiteral("aspas sem fechamento no valor de \"%1\"").arg(token.key));
                } else {
                    while (i < n && !text.at(i).isSpace())
                        token.value += text.at(i++);
                }
            }
            if (token.key.isEmpty())
                fail(QStringLiteral("valor sem nome de propriedade"));
            result.append(token);
        }
        return result;
    }

    double number(const Token &token) const
    {
        bool ok = false;
        const double value = token.value.toDouble(&ok);
        if (!ok)
            fail(QStringLiteral("\"%1\" não é um número em %2").arg(token.value, token.key));
        return value;
    }

    QVector<double> numbers(const Token &token, int count) const
    {
        const QStringList parts = token.value.split(QLatin1Char(','));
        if (parts.size() != count)
            fail(QStringLiteral("%1 espera %2 números separados por vírgula").arg(token.key).arg(count));
        QVector<double> values;
        for (const QString &part : parts)
            values.append(number(Token{token.key, part, true}));
        return values;
    }

    QColor color(const Token &token) const
    {
        const QColor value = QColor::fromString(token.value);
        if (!value.isValid())
            fail(QStringLiteral("cor inválida: %1").arg(token.value));
        return value;
    }

    template <typename T>
    T choice(const Token &token, const QHash<QString, T> &options) const
    {
        const auto it = options.constFind(token.value.toLower());
        if (it == options.constEnd()) {
            QStringList names = options.keys();
            names.sort();
            fail(QStringLiteral("%1=%2 inválido; use %3").arg(token.key, token.value, names.join(QStringLiteral(", "))));
        }
        return *it;
    }

private:
    QString m_file;
    int m_line;
};

const QHash<QString, LineStyle> &lineStyles()
{
    static const QHash<QString, LineStyle> styles{{QStringLiteral("solid"), LineStyle::Solid},
                                                  {QStringLiteral("dotted"), LineStyle::Dotted},
                                                  {QStringLiteral("squaredots"), LineStyle::SquareDots}};
    return styles;
}

void readPage(const LineReader &reader, const QVector<Token> &tokens, PageSettings &page)
{
    for (const Token &token : tokens.mid(1)) {
        if (token.key == QLatin1String("paper")) {
            const QStringList parts = token.value.split(QLatin1Char('x'));
            if (parts.size() != 2)
                reader.fail(QStringLiteral("paper espera largura x altura em mm, como 210x297"));
            page.paperMm = QSizeF(reader.number({token.key, parts.at(0), true}),
                                  reader.number({token.key, parts.at(1), true}));
        } else if (token.key == QLatin1String("orientation")) {
            page.landscape = reader.choice<bool>(
                token, {{QStringLiteral("portrait"), false}, {QStringLiteral("landscape"), true}});
        } else if (token.key == QLatin1String("margins")) {
            const QVector<double> m = reader.numbers(token, 4);
            page.marginsMm = QMarginsF(m[0], m[1], m[2], m[3]);
        } else {
            reader.fail(QStringLiteral("propriedade desconhecida de page: %1").arg(token.key));
        }
    }
}

Band readBand(const LineReader &reader, const QVector<Token> &tokens)
{
    if (tokens.size() < 2 || tokens.at(1).hasValue)
        reader.fail(QStringLiteral("band sem nome"));
    Band band;
    band.name = tokens.at(1).key;
    bool hasKind = false;
    bool hasHeight = false;
    for (const Token &token : tokens.mid(2)) {
        if (token.key == QLatin1String("kind")) {
            band.kind = reader.choice<BandKind>(token, {{QStringLiteral("title"), BandKind::ReportTitle},
                                                        {QStringLiteral("pageheader"), BandKind::PageHeader},
                                                        {QStringLiteral("data"), BandKind::MasterData},
                                                        {QStringLiteral("summary"), BandKind::ReportSummary}});
            hasKind = true;
        } else if (token.key == QLatin1String("height")) {
            band.height = reader.number(token);
            hasHeight = true;
        } else if (token.key == QLatin1String("source")) {
            band.dataSource = token.value;
        } else {
            reader.fail(QStringLiteral("propriedade desconhecida de band: %1").arg(token.key));
        }
    }
    if (!hasKind || !hasHeight)
        reader.fail(QStringLiteral("band %1 precisa de kind e height").arg(band.name));
    if (band.kind == BandKind::MasterData && band.dataSource.isEmpty())
        reader.fail(QStringLiteral("band %1 de dados precisa de source").arg(band.name));
    return band;
}

void readFrame(const LineReader &reader, const Token &token, Frame &frame)
{
    for (const QString &side : token.value.split(QLatin1Char(','))) {
        const Token one{token.key, side, true};
        bool *edge = reader.choice<bool *>(one, {{QStringLiteral("left"), &frame.left},
                                                 {QStringLiteral("top"), &frame.top},
                                                 {QStringLiteral("right"), &frame.right},
                                                 {QStringLiteral("bottom"), &frame.bottom}});
        *edge = true;
    }
}

// Properties of text objects only.
bool readTextProperty(const LineReader &reader, const Token &token, ReportObject &object)
{
    const QString &key = token.key;
    if (key == QLatin1String("text")) {
        try {
            object.setContent(TextTemplate::parse(token.value));
        } catch (const ReportError &error) {
            reader.fail(error.message());
        }
    } else if (key == QLatin1String("font")) {
        object.font.family = token.value;
    } else if (key == QLatin1String("size")) {
        // "13px" is a character height at 96 dpi; a plain number is in points.
        if (token.value.endsWith(QLatin1String("px")))
            object.font.pointSize = reader.number({key, token.value.chopped(2), true}) * 72.0 / 96.0;
        else
            object.font.pointSize = reader.number(token);
        if (object.font.pointSize <= 0)
            reader.fail(QStringLiteral("size deve ser maior que zero"));
    } else if (key == QLatin1String("bold")) {
        object.font.bold = true;
    } else if (key == QLatin1String("italic")) {
        object.font.italic = true;
    } else if (key == QLatin1String("color")) {
        object.font.color = reader.color(token);
    } else if (key == QLatin1String("align")) {
        object.hAlign = reader.choice<Qt::Alignment>(token, {{QStringLiteral("left"), Qt::AlignLeft},
                                                             {QStringLiteral("center"), Qt::AlignHCenter},
                                                             {QStringLiteral("right"), Qt::AlignRight}});
    } else if (key == QLatin1String("valign")) {
        object.vAlign = reader.choice<Qt::Alignment>(token, {{QStringLiteral("top"), Qt::AlignTop},
                                                             {QStringLiteral("middle"), Qt::AlignVCenter},
                                                             {QStringLiteral("bottom"), Qt::AlignBottom}});
    } else if (key == QLatin1String("nowrap")) {
        object.wordWrap = false;
    } else if (key == QLatin1String("autowidth")) {
        object.autoWidth = true;
    } else if (key == QLatin1String("fill")) {
        object.fill = reader.color(token);
    } else if (key == QLatin1String("gaps")) {
        const QVector<double> g = reader.numbers(token, 4);
        object.gaps.left = g[0];
        object.gaps.top = g[1];
        object.gaps.right = g[2];
        object.gaps.bottom = g[3];
    } else if (key == QLatin1String("linegap")) {
        object.gaps.between = reader.number(token);
    } else if (key == QLatin1String("format")) {
        try {
            valueformat::format(QVariant(0), token.value);
        } catch (const ReportError &error) {
            reader.fail(error.message());
        }
        object.displayFormat = token.value;
    } else if (key == QLatin1String("frame")) {
        readFrame(reader, token, object.frame);
    } else if (key == QLatin1String("framewidth")) {
        object.frame.width = reader.number(token);
    } else if (key == QLatin1String("framestyle")) {
        object.frame.style = reader.choice(token, lineStyles());
    } else {
        return false;
    }
    return true;
}

ReportObject readObject(const LineReader &reader, const QVector<Token> &tokens, ObjectKind kind)
{
    if (tokens.size() < 2 || tokens.at(1).hasValue)
        reader.fail(QStringLiteral("%1 sem nome").arg(tokens.at(0).key));
    ReportObject object;
    object.kind = kind;
    object.name = tokens.at(1).key;
    bool hasLeft = false, hasTop = false, hasWidth = false, hasHeight = kind == ObjectKind::Line;
    for (const Token &token : tokens.mid(2)) {
        const QString &key = token.key;
        if (key == QLatin1String("left")) {
            object.box.moveLeft(reader.number(token));
            hasLeft = true;
        } else if (key == QLatin1String("top")) {
            object.box.moveTop(reader.number(token));
            hasTop = true;
        } else if (key == QLatin1String("width")) {
            object.box.setWidth(reader.number(token));
            hasWidth = true;
        } else if (key == QLatin1String("height")) {
            object.box.setHeight(reader.number(token));
            hasHeight = true;
        } else if (key == QLatin1String("centred")) {
            object.centred = true;
        } else if (key == QLatin1String("style") && kind == ObjectKind::Line) {
            object.lineStyle = reader.choice(token, lineStyles());
        } else if (key == QLatin1String("linewidth") && (kind == ObjectKind::Line || kind == ObjectKind::Rectangle)) {
            object.lineWidth = reader.number(token);
        } else if (kind != ObjectKind::Text || !readTextProperty(reader, token, object)) {
            reader.fail(QStringLiteral("propriedade desconhecida de %1: %2").arg(tokens.at(0).key, key));
        }
        if (token.hasValue == false && key != QLatin1String("centred") && key != QLatin1String("bold")
            && key != QLatin1String("italic") && key != QLatin1String("nowrap") && key != QLatin1String("autowidth"))
            reader.fail(QStringLiteral("%1 precisa de um valor").arg(key));
    }
    if (!hasLeft || !hasTop || !hasWidth || !hasHeight)
        reader.fail(QStringLiteral("%1 %2 precisa de left, top, width e height").arg(tokens.at(0).key, object.name));
    return object;
}

} // namespace

ReportLayout parse(const QString &text, const QString &fileName)
{
    ReportLayout layout;
    bool named = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const LineReader reader(fileName, i + 1);
        const QVector<Token> tokens = reader.tokens(line);
        const QString directive = tokens.at(0).key;
        if (directive == QLatin1String("layout")) {
            if (tokens.size() != 2 || named)
                reader.fail(QStringLiteral("layout espera um nome, uma única vez"));
            layout.name = tokens.at(1).key;
            named = true;
        } else if (directive == QLatin1String("page")) {
            readPage(reader, tokens, layout.page);
        } else if (directive == QLatin1String("band")) {
            layout.bands.push_back(readBand(reader, tokens));
        } else if (directive == QLatin1String("text") || directive == QLatin1String("line")
                   || directive == QLatin1String("rectangle") || directive == QLatin1String("picture")) {
            if (layout.bands.empty())
                reader.fail(QStringLiteral("%1 antes de qualquer band").arg(directive));
            const ObjectKind kind = directive == QLatin1String("text") ? ObjectKind::Text
                : directive == QLatin1String("line")                   ? ObjectKind::Line
                : directive == QLatin1String("rectangle")              ? ObjectKind::Rectangle
                                                                       : ObjectKind::Picture;
            layout.bands.back().objects.push_back(readObject(reader, tokens, kind));
        } else {
            reader.fail(QStringLiteral("linha desconhecida: %1").arg(directive));
        }
    }
    if (!named)
        throw LayoutError(fileName, int(lines.size()), QStringLiteral("falta a linha layout com o nome"));
    return layout;
}

ReportLayout load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ReportError(QStringLiteral("Não foi possível abrir o layout %1: %2.").arg(path, errortext::fileProblem(file)));
    return parse(QString::fromUtf8(file.readAll()), QFileInfo(path).fileName());
}

} // namespace layoutfile
