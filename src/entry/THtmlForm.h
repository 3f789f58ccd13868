#pragma once

#include <QDialog>

class Messages;
struct HtmlSettings;

// The modal window for the HTML settings.
class THtmlForm : public QDialog {
    Q_OBJECT
public:
    THtmlForm(HtmlSettings& html, QChar& newProcessFlag, Messages& messages,
              QWidget* parent = nullptr);
};
