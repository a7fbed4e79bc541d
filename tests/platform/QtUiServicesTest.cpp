// UI services of both hosts: message boxes and their icons, the hourglass, unloading, the
// console's messages; and the help window.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>

#include <fstream>

#include "support/QtTestEnvironment.h"
#include "platform/qt/QtHelpViewer.h"
#include "platform/qt/QtUiServices.h"

namespace tessaran::platform {
namespace {

struct ShownBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Shows a message box through the services and answers it as soon as it is up.
int showAndAnswer(QtUiServices& ui, int buttons, QMessageBox::StandardButton answer, ShownBox& shown) {
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        shown = {box->windowTitle(), box->text(), box->icon()};
        box->button(answer)->click();
    });
    return ui.messageBox("Aucun état de facturation à éditer.", buttons, "Message VELORANDE");
}

TEST(QtUiServices, MessageBoxesShowTheTextWithTheIconOfTheCode) {
    QtUiServices ui(nullptr, {});
    ShownBox shown;
    EXPECT_EQ(showAndAnswer(ui, kButtonsInformation, QMessageBox::Ok, shown), 1);
    EXPECT_EQ(shown.title, QStringLiteral("Message VELORANDE"));
    EXPECT_EQ(shown.text, QStringLiteral("Aucun état de facturation à éditer."));
    EXPECT_EQ(shown.icon, QMessageBox::Information);

    EXPECT_EQ(showAndAnswer(ui, kButtonsExclamation, QMessageBox::Ok, shown), 1);
    EXPECT_EQ(shown.icon, QMessageBox::Warning);

    EXPECT_EQ(showAndAnswer(ui, 4 + 32, QMessageBox::No, shown), 7);  // Yes/No, question
    EXPECT_EQ(shown.icon, QMessageBox::Question);
}

TEST(QtUiServices, HourglassIsOneOverrideCursorAndUnloadCallsTheHost) {
    int unloads = 0;
    {
        QtUiServices ui(nullptr, [&] { ++unloads; });
        ui.setMousePointer(kPointerHourglass);
        ui.setMousePointer(kPointerHourglass);
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        ui.setMousePointer(kPointerDefault);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        ui.setMousePointer(kPointerDefault);  // no cursor of someone else is restored
        ui.setMousePointer(kPointerHourglass);
        ui.progress(10, 10);
        ui.unloadHostWindow();
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the hourglass goes with the services";
    EXPECT_EQ(unloads, 1);
}

TEST(ConsoleUiServices, MessagesGoToStandardErrorWithTheirTitle) {
    ConsoleUiServices ui;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(ui.messageBox("Aucun état de facturation à éditer.", kButtonsInformation, "Message VELORANDE"), 1);
    ui.progress(1200, 5000);  // not a terminal: no progress line
    ui.progress(0, 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Message VELORANDE: Aucun état de facturation à éditer.\n");
}

TEST(QtHelpViewer, ShowsTheHelpPageOrSaysItIsMissing) {
    QTemporaryDir resources;
    ASSERT_TRUE(resources.isValid() && QDir(resources.path()).mkpath(QStringLiteral("help")));
    std::ofstream(resources.filePath(QStringLiteral("help/Aide.htm")).toStdString())
        << "<html><body><p>Édition des états</p></body></html>";

    const QByteArray saved = qgetenv("TESSARAN_RESOURCE_DIR");
    qputenv("TESSARAN_RESOURCE_DIR", resources.path().toLocal8Bit());
    {
        QtHelpViewer viewer;
        EXPECT_EQ(viewer.show("Aide.htm", "", "Aide de la facturation"), "");
        QTextBrowser* browser = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() && window->findChild<QTextBrowser*>()) browser = window->findChild<QTextBrowser*>();
        ASSERT_NE(browser, nullptr);
        EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Édition des états")));

        EXPECT_NE(viewer.show("Absente.htm", "", "Aide").find("Absente.htm"), std::string::npos);
        EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("introuvable")));
    }
    qputenv("TESSARAN_RESOURCE_DIR", saved);
}

}  // namespace
}  // namespace tessaran::platform
