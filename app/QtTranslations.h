#pragma once

class QCoreApplication;
class QTranslator;

// Qt's own texts (file and print dialogs, standard buttons, file errors) in
// Brazilian Portuguese, whatever the desktop's language: the program speaks
// nothing else. `translator` must outlive the application's use of it.
// False, with a warning, when the translation files are not installed.
bool installQtTranslations(QCoreApplication &application, QTranslator &translator);
