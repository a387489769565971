#include "Spreadsheet.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

// The system's interpreter, where the Debian package installs openpyxl.
const QString kPython = QStringLiteral("/usr/bin/python3");

const char *const kScript = R"py(
import datetime, json, sys, openpyxl
def cell(c, cached):
    v = c.value
    if v is None: t = "none"
    elif isinstance(v, bool): t = "str"
    elif isinstance(v, datetime.datetime): t, v = "date", v.date().isoformat()
    elif isinstance(v, int): t = "int"
    elif isinstance(v, float): t = "float"
    elif isinstance(v, str) and v.startswith("="): t = "formula"
    else: t = "str"
    k = cached.value
    if isinstance(k, datetime.datetime): k = k.date().isoformat()
    return {"type": t, "value": "" if v is None else str(v), "format": c.number_format,
            "cached": "" if k is None else str(k)}
book = openpyxl.load_workbook(sys.argv[1])
values = openpyxl.load_workbook(sys.argv[1], data_only=True)
sheet, cachedSheet = book.active, values.active
rows = [[cell(c, cachedSheet.cell(row=c.row, column=c.column)) for c in row] for row in sheet.iter_rows()]
print(json.dumps({"title": sheet.title, "frozen": sheet.freeze_panes or "", "rows": rows}))
)py";

} // namespace

XlsxSheet readXlsx(const QString &path)
{
    QProcess process;
    process.start(kPython, {QStringLiteral("-c"), QString::fromUtf8(kScript), path});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        qWarning("openpyxl could not read %s: %s", qPrintable(path), process.readAllStandardError().constData());
        return {};
    }
    const QJsonObject sheet = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    XlsxSheet result{sheet.value(QStringLiteral("title")).toString(), sheet.value(QStringLiteral("frozen")).toString(), {}};
    for (const QJsonValue &row : sheet.value(QStringLiteral("rows")).toArray()) {
        QVector<XlsxCell> cells;
        for (const QJsonValue &value : row.toArray()) {
            const QJsonObject c = value.toObject();
            cells.append({c.value(QStringLiteral("type")).toString(), c.value(QStringLiteral("value")).toString(),
                          c.value(QStringLiteral("format")).toString(), c.value(QStringLiteral("cached")).toString()});
        }
        result.rows.append(cells);
    }
    return result;
}
