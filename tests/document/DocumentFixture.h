#pragma once

#include "core/MainState.h"
#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "document/THistoryForm.h"
#include "document/TNewProcessForm.h"
#include "platform/EditorText.h"
#include "platform/FileDialogs.h"
#include "support/FakePlatform.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// The second tab with its document and the two windows, on a stand-in main window, talking to
// the scripted fakes.
class DocumentFixture : public testing::Test {
public:
    // The states the document's table speaks of, as one comparable value.
    struct Controls {
        bool save;
        bool saveAs;
        bool tags; // a document is there: the insert and tag buttons are offered
        bool readOnly;
        bool operator==(const Controls&) const = default;
        friend std::ostream& operator<<(std::ostream& os, const Controls& c)
        {
            return os << "{save " << c.save << ", saveAs " << c.saveAs << ", tags " << c.tags
                      << ", readOnly " << c.readOnly << "}";
        }
    };

protected:
    void SetUp() override
    {
        state.ProgramFolder = QStringLiteral("/opt/pelmora/");
        main = std::make_unique<QWidget>();
        main->move(100, 60);
        tab = new DiaryFileTab(main.get());
        (new QVBoxLayout(main.get()))->addWidget(tab);
        openDialog.title = QStringLiteral("日記HTMLを開く");
        saveDialog.title = QStringLiteral("日記HTMLを保存");
        doc = std::make_unique<DiaryDocument>(
            state, tab, fake.platform(), openDialog, saveDialog,
            DocumentWindows{[this]() -> TNewProcessForm& { return *newForm; },
                            [this]() -> THistoryForm& { return *history; }});
        newForm = new TNewProcessForm(*doc, main.get());
        history = new THistoryForm(*doc, main.get());
        QObject::connect(doc.get(), &DiaryDocument::documentOpened,
                         [this](bool fromFile) { opened.append(fromFile); });
        QObject::connect(doc.get(), &DiaryDocument::documentSaved, [this] { ++saves; });
    }

    QString text() const { return editorText(tab->AllMemo); }
    void putFile(const QString& path, const QByteArray& bytes)
    {
        fake.files.files.insert(path, bytes);
    }
    QByteArray file(const QString& path) const { return fake.files.files.value(path); }

    // Open a file through the open dialog, with nothing to save first.
    void openThroughDialog(const QString& path)
    {
        fake.fileDialogs.answers.push_back(path);
        doc->OpenDiary();
    }

    // What the document offers; the main window's buttons follow it.
    Controls controls() const
    {
        return {doc->saveOffered(), doc->saveAsOffered(), doc->isLoaded(),
                tab->AllMemo->isReadOnly()};
    }

    FakePlatform fake;
    MainState state;
    FileDialogSettings openDialog;
    FileDialogSettings saveDialog;
    std::unique_ptr<QWidget> main;
    DiaryFileTab* tab = nullptr;
    TNewProcessForm* newForm = nullptr;
    THistoryForm* history = nullptr;
    std::unique_ptr<DiaryDocument> doc;
    QList<bool> opened; // documentOpened, with its fromFile
    int saves = 0;      // documentSaved
};
