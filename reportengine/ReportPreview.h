#pragma once

class Report;
class QWidget;

// Prepares the report afresh behind a progress dialog and opens the modal
// preview; returns when it closes.
void showReport(Report &report, QWidget *parent = nullptr);
