#pragma once

class Report;
class QWidget;

// Prepares the report afresh and opens the modal preview on its first page,
// which goes on preparing the rest; returns when it closes, with the pages
// and their memory let go.
void showReport(Report &report, QWidget *parent = nullptr);
