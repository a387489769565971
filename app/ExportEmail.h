#pragma once

#include "ExportCommand.h"

enum class ReceiptSheet;

namespace quindeloexport {

inline const QString kEmailOption = QStringLiteral("--email");

// recibo ID --email ENDERECO: sends the one receipt as the e-mail screen
// does, with the user's e-mail settings, and says so on standard output.
void emailReceipt(const Request &request, const QList<int> &ids, ReceiptSheet sheet, DataModule &dm);

} // namespace quindeloexport
