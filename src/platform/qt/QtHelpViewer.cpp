#include "QtHelpViewer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdlib>

namespace tessaran::platform {

namespace {

constexpr int kWindowWidth = 760;
constexpr int kWindowHeight = 560;

}  // namespace

std::string resourceDirectory() {
    if (const char* fromEnvironment = std::getenv("TESSARAN_RESOURCE_DIR"); fromEnvironment && *fromEnvironment) {
        return fromEnvironment;
    }
    if (QCoreApplication::instance() != nullptr) {
        const QDir installed(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/tessaran"));
        if (installed.exists()) return QDir::cleanPath(installed.absolutePath()).toStdString();
    }
    return TESSARAN_RESOURCE_DIR;
}

struct QtHelpViewer::Impl {
    std::shared_ptr<Client> client;
    std::shared_ptr<db::Database> database;
    std::unique_ptr<QWidget> window;
    QTextBrowser* browser = nullptr;  // owned by the window
};

QtHelpViewer::QtHelpViewer() : impl_(std::make_unique<Impl>()) {}

QtHelpViewer::~QtHelpViewer() = default;

std::string QtHelpViewer::show(const std::string& page, const std::string& /*mode*/, const std::string& title) {
    if (!impl_->window) {
        impl_->window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(impl_->window.get());
        layout->setContentsMargins(0, 0, 0, 0);
        impl_->browser = new QTextBrowser(impl_->window.get());
        impl_->browser->setOpenExternalLinks(true);
        layout->addWidget(impl_->browser);
        impl_->window->resize(kWindowWidth, kWindowHeight);
    }
    impl_->window->setWindowTitle(QString::fromStdString(title));

    const QString path = QString::fromStdString(resourceDirectory() + "/help/" + page);
    std::string problem;
    if (QFileInfo::exists(path)) {
        impl_->browser->setSource(QUrl::fromLocalFile(path));
    } else {
        problem = "help page not found: " + path.toStdString();
        impl_->browser->setPlainText(QStringLiteral("Page d'aide introuvable : ") + path);
    }
    impl_->window->show();
    impl_->window->raise();
    impl_->window->activateWindow();
    return problem;
}

void QtHelpViewer::setClient(std::shared_ptr<Client> client) { impl_->client = std::move(client); }

void QtHelpViewer::setDatabase(std::shared_ptr<db::Database> database) { impl_->database = std::move(database); }

}  // namespace tessaran::platform
