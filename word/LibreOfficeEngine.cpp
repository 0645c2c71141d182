#include "word/LibreOfficeEngine.h"

#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "word/BoundedWorker.h"
#include "word/CupsPrint.h"
#include "word/Documents.h"
#include "word/FontsConf.h"
#include "word/OfficeInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>
#include <QThread>
#include <QUrl>

#include <com/sun/star/awt/FontUnderline.hpp>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/style/ParagraphAdjust.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/text/XBookmarksSupplier.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <initializer_list>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillan::word {

namespace {

using rtl::OUString;

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

OUString toOU(const QString& s)
{
    return OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()), static_cast<sal_Int32>(s.size()));
}

QString toQ(const OUString& s)
{
    return QString(reinterpret_cast<const QChar*>(s.getStr()), s.getLength());
}

OUString fileUrl(const QString& path)
{
    return toOU(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
}

css::beans::PropertyValue prop(const char* name, const css::uno::Any& value)
{
    css::beans::PropertyValue p;
    p.Name = OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

css::uno::Sequence<css::beans::PropertyValue> props(std::initializer_list<css::beans::PropertyValue> list)
{
    css::uno::Sequence<css::beans::PropertyValue> seq(static_cast<sal_Int32>(list.size()));
    auto* out = seq.getArray();
    for (const css::beans::PropertyValue& p : list)
        *out++ = p;
    return seq;
}

constexpr int kMaxSlots = 8;
constexpr int kShutdownMs = 10000;

} // namespace

QStringList LibreOfficeOptions::defaultSearchPath()
{
    return qEnvironmentVariable("PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

QStringList LibreOfficeOptions::defaultInstallFolders()
{
    QStringList folders{QStringLiteral("/usr/lib/libreoffice/program")};
    const QStringList opt = QDir(QStringLiteral("/opt"))
                                .entryList({QStringLiteral("libreoffice*")},
                                           QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    for (const QString& dir : opt)
        folders << QStringLiteral("/opt/") + dir + QStringLiteral("/program");
    return folders;
}

struct LibreOfficeEngine::Impl
{
    LibreOfficeOptions options;
    QString programDir; // real program folder, no trailing "/"; empty: not installed
    QString workDir;
    int slot = 0;
    int slotLockFd = -1;
    QString fontsConf;

    std::unique_ptr<BoundedWorker> worker = std::make_unique<BoundedWorker>();
    std::unique_ptr<OfficeInstance> instance;
    bool abandoned = false; // a call never came back, even after the process was killed
    bool inCall = false;    // a call waits for the worker (events are processed meanwhile)

    bool session = false;
    bool documentsBound = false;
    Reference<css::lang::XComponent> document;
    Reference<css::text::XText> text;
    Reference<css::text::XTextCursor> cursor;
    Reference<css::beans::XPropertySet> cursorProps;
    QString documentPath;
    QString lastError;
    // Why the open document was lost (the office ended or hung), so that a
    // later save or print says that instead of "no document".
    QString lostReason;

    void locate();
    bool prepareWorkDir();
    void makeInstance();
    void keepResponsive(bool on) const;
    void pause(int ms) const;
    bool call(const QString& what, const std::function<bool()>& fn, int timeoutMs = 0);
    bool ensureOffice();
    void dropConnection();
    void forgetDocument();
    bool closeActive();
    void shutdown();
    // Stores the active document with an export filter, through a temporary
    // file beside `path` that replaces it only when complete.
    bool store(const QString& path, const QString& filterName,
               const css::uno::Sequence<css::beans::PropertyValue>& filterData);
    bool setCursorProperty(const QString& what, const char* name, const css::uno::Any& value,
                           const char* asianName = nullptr);
};

void LibreOfficeEngine::Impl::locate()
{
    QStringList folders = options.searchPath;
    folders << options.installFolders;
    for (const QString& folder : folders) {
        if (folder.isEmpty())
            continue;
        const QFileInfo candidate(folder + QStringLiteral("/soffice"));
        if (!candidate.isFile() || !candidate.isExecutable())
            continue;
        const QString real = candidate.canonicalFilePath();
        if (real.isEmpty())
            continue;
        programDir = QFileInfo(real).absolutePath();
        return;
    }
}

bool LibreOfficeEngine::Impl::prepareWorkDir()
{
    if (!workDir.isEmpty())
        return true;
    QString scratch = options.scratchDir;
    if (scratch.isEmpty())
        scratch = platform::Paths::detect().ensureScratchDir();
    if (scratch.isEmpty() || !platform::ensurePrivateDir(scratch)) {
        lastError = QStringLiteral("无法建立程序的临时文件夹。");
        return false;
    }
    const QString dir = scratch + QStringLiteral("/office");
    if (!platform::ensurePrivateDir(dir)) {
        lastError = QStringLiteral("无法建立文件夹 %1。").arg(dir);
        return false;
    }
    // One profile per running engine: the lock is held while the engine
    // lives, so whatever still runs on a profile we lock is a leftover.
    for (int n = 1; n <= kMaxSlots; ++n) {
        const QByteArray lockPath = QFile::encodeName(dir + QStringLiteral("/profile-%1.lock").arg(n));
        const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            slot = n;
            slotLockFd = fd;
            break;
        }
        ::close(fd);
    }
    if (slot == 0) {
        lastError = QStringLiteral("同时打开的本程序太多，请关闭几个后再操作。");
        return false;
    }
    QString systemConf = qEnvironmentVariable("FONTCONFIG_FILE");
    if (systemConf.isEmpty())
        systemConf = QStringLiteral("/etc/fonts/fonts.conf");
    QString conf = QString::fromUtf8(kFontsConfTemplate);
    conf.replace(QStringLiteral("@SYSTEM_FONTS_CONF@"), systemConf.toHtmlEscaped());
    fontsConf = dir + QStringLiteral("/fonts.conf");
    if (!platform::writeFileAtomically(fontsConf, conf.toUtf8(), nullptr, 0600))
        fontsConf.clear();
    workDir = dir;
    return true;
}

void LibreOfficeEngine::Impl::forgetDocument()
{
    cursorProps.clear();
    cursor.clear();
    text.clear();
    document.clear();
}

void LibreOfficeEngine::Impl::dropConnection()
{
    forgetDocument();
    if (instance) {
        instance->kill();
        instance->disconnect();
    }
}

bool LibreOfficeEngine::Impl::call(const QString& what, const std::function<bool()>& fn, int timeoutMs)
{
    if (abandoned) {
        lastError = QStringLiteral("LibreOffice 没有响应，请关闭本程序后重新打开。");
        lostReason = lastError;
        return false;
    }
    if (timeoutMs <= 0)
        timeoutMs = options.timeoutMs;
    if (inCall) {
        // Reached again from an event processed while a call waits.
        lastError = QStringLiteral("LibreOffice 正忙，请稍后再操作。");
        return false;
    }
    makeInstance();
    // Reading the connection is safe only while no background start runs.
    const bool mustStart = worker->busy() || !instance->connected();
    if (mustStart)
        timeoutMs += options.startTimeoutMs;
    instance->allowStart();
    struct Outcome
    {
        bool result = false;
        bool lost = false;
        QString error;
    };
    auto outcome = std::make_shared<Outcome>();
    OfficeInstance* office = instance.get();
    inCall = true;
    const bool finished = worker->run(
        [fn, outcome, office] {
            try {
                outcome->result = fn();
            } catch (const css::lang::DisposedException& e) {
                outcome->lost = true;
                outcome->error = toQ(e.Message);
            } catch (const css::uno::RuntimeException& e) {
                outcome->lost = !office->processRunning() || e.Message.indexOf("URP") >= 0;
                outcome->error = toQ(e.Message);
            } catch (const css::uno::Exception& e) {
                outcome->error = toQ(e.Message);
                if (outcome->error.isEmpty())
                    outcome->error = QStringLiteral("原因不明");
            } catch (...) {
                outcome->error = QStringLiteral("意外错误");
            }
        },
        timeoutMs);
    inCall = false;
    if (!finished) {
        // Hung: end the process; the pending call then fails and comes back.
        instance->kill();
        if (!worker->waitIdle(30000)) {
            abandoned = true;
            lastError = QStringLiteral("LibreOffice 没有响应，请关闭本程序后重新打开。");
            lostReason = lastError;
            return false;
        }
        dropConnection();
        lastError = QStringLiteral("LibreOffice 超过 %2 秒没有响应（正在%1），已经结束，请重新操作。")
                        .arg(what)
                        .arg(timeoutMs / 1000.0);
        lostReason = lastError;
        return false;
    }
    if (outcome->lost) {
        dropConnection();
        lastError =
            QStringLiteral("与 LibreOffice 的连接中断了（正在%1），文件已经关闭，请重新操作。").arg(what);
        lostReason = lastError;
        return false;
    }
    if (!outcome->error.isEmpty()) {
        lastError = QStringLiteral("LibreOffice 出错了（正在%1）：%2").arg(what, outcome->error);
        return false;
    }
    return outcome->result;
}

void LibreOfficeEngine::Impl::makeInstance()
{
    if (instance)
        return;
    OfficeInstance::Options o;
    o.programDir = programDir;
    o.workDir = workDir;
    o.slot = slot;
    o.fontConfigFile = fontsConf;
    o.startTimeoutMs = options.startTimeoutMs;
    instance = std::make_unique<OfficeInstance>(o);
}

void LibreOfficeEngine::Impl::keepResponsive(bool on) const
{
    if (!on) {
        worker->whileWaiting = nullptr;
        return;
    }
    // Paint events and timers only: the officer's input waits until the
    // call is over, as it would if the window were blocked.
    worker->whileWaiting = [] {
        QCoreApplication* app = QCoreApplication::instance();
        if (app && QThread::currentThread() == app->thread())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
}

void LibreOfficeEngine::Impl::pause(int ms) const
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
        if (worker->whileWaiting)
            worker->whileWaiting();
        QThread::msleep(5);
    }
}

// Runs on the worker: loads Writer and the Word (export and import) and PDF
// filters once, so that the first record is written about as fast as the
// later ones.
static void warmWriter(OfficeInstance* office, const QString& folder)
{
    try {
        Reference<css::frame::XComponentLoader> loader(office->desktop(), UNO_QUERY_THROW);
        const auto hidden = props({prop("Hidden", css::uno::Any(true))});
        Reference<css::lang::XComponent> doc =
            loader->loadComponentFromURL("private:factory/swriter", "_blank", 0, hidden);
        Reference<css::text::XTextDocument> textDocument(doc, UNO_QUERY_THROW);
        // In the faces and styles of a record, so that their fonts are
        // loaded too: 宋体 (a large CJK face) plain, bold and underlined.
        const Reference<css::text::XText> text = textDocument->getText();
        const Reference<css::text::XTextCursor> cursor = text->createTextCursor();
        const Reference<css::beans::XPropertySet> style(cursor, UNO_QUERY_THROW);
        const Reference<css::text::XTextRange> at(cursor, UNO_QUERY_THROW);
        style->setPropertyValue("CharFontNameAsian", css::uno::Any(toOU(QStringLiteral("宋体"))));
        style->setPropertyValue("CharFontName", css::uno::Any(OUString("Times New Roman")));
        text->insertString(at, toOU(QStringLiteral("工伤认定询问调查笔录 2012")), false);
        style->setPropertyValue("CharWeightAsian", css::uno::Any(css::awt::FontWeight::BOLD));
        style->setPropertyValue("CharUnderline", css::uno::Any(sal_Int16(css::awt::FontUnderline::SINGLE)));
        text->insertControlCharacter(at, css::text::ControlCharacter::PARAGRAPH_BREAK, false);
        text->insertString(at, toOU(QStringLiteral("问：答：")), false);
        Reference<css::frame::XStorable> storable(doc, UNO_QUERY_THROW);
        const QString docFile = folder + QStringLiteral("/warm-up.doc");
        const QString pdfFile = folder + QStringLiteral("/warm-up.pdf");
        storable->storeToURL(fileUrl(docFile),
                             props({prop("FilterName", css::uno::Any(OUString("MS Word 97"))),
                                    prop("Overwrite", css::uno::Any(true))}));
        storable->storeToURL(fileUrl(pdfFile),
                             props({prop("FilterName", css::uno::Any(OUString("writer_pdf_Export"))),
                                    prop("Overwrite", css::uno::Any(true))}));
        Reference<css::util::XCloseable>(doc, UNO_QUERY_THROW)->close(true);
        // Reading a Word file back loads its import filter too (a record
        // starts from the blank working document, a .doc).
        Reference<css::lang::XComponent> back =
            loader->loadComponentFromURL(fileUrl(docFile), "_blank", 0, hidden);
        Reference<css::util::XCloseable>(back, UNO_QUERY_THROW)->close(true);
        QFile::remove(docFile);
        QFile::remove(pdfFile);
    } catch (...) {
        // Only a head start: whatever went wrong shows at the next real call.
    }
}

// Runs on the worker.
bool LibreOfficeEngine::Impl::ensureOffice()
{
    if (instance->connected())
        return true;
    QString error;
    if (!instance->start(&error)) {
        lastError = error;
        return false;
    }
    return true;
}

bool LibreOfficeEngine::Impl::setCursorProperty(const QString& what, const char* name,
                                                const css::uno::Any& value, const char* asianName)
{
    if (!cursorProps.is())
        return false;
    return call(what, [this, name, value, asianName] {
        cursorProps->setPropertyValue(OUString::createFromAscii(name), value);
        if (asianName)
            cursorProps->setPropertyValue(OUString::createFromAscii(asianName), value);
        return true;
    });
}

bool LibreOfficeEngine::Impl::closeActive()
{
    if (!document.is()) {
        forgetDocument();
        return true;
    }
    const bool ok = call(QStringLiteral("关闭文件"), [this] {
        Reference<css::util::XCloseable> closeable(document, UNO_QUERY);
        if (closeable.is())
            closeable->close(true);
        else
            document->dispose();
        return true;
    });
    forgetDocument();
    documentPath.clear();
    return ok;
}

void LibreOfficeEngine::Impl::shutdown()
{
    // The program is ending: no more events are processed meanwhile.
    keepResponsive(false);
    if (!instance)
        return;
    if (worker->busy()) {
        // A background start under way is not worth waiting for.
        instance->cancelStart();
        if (!worker->waitIdle(kShutdownMs)) {
            instance->kill();
            worker->waitIdle(10000);
        }
    }
    closeActive();
    if (instance->connected() && !abandoned) {
        OfficeInstance* office = instance.get();
        if (!worker->run([office] { office->terminate(kShutdownMs); }, kShutdownMs + 2000)) {
            instance->kill();
            worker->waitIdle(10000);
        }
    }
    instance->kill();
    instance->disconnect();
    instance.reset();
}

LibreOfficeEngine::LibreOfficeEngine(LibreOfficeOptions options) : d(std::make_unique<Impl>())
{
    d->options = std::move(options);
    d->locate();
    d->keepResponsive(true);
}

LibreOfficeEngine::~LibreOfficeEngine()
{
    if (!d->abandoned)
        d->shutdown();
    if (d->abandoned) {
        // A call into the office never came back; its thread still uses our
        // state, which must therefore stay.
        if (d->instance)
            d->instance->kill();
        (void)d.release();
        return;
    }
    if (d->slotLockFd >= 0)
        ::close(d->slotLockFd);
}

QString LibreOfficeEngine::installPathText()
{
    if (d->programDir.isEmpty())
        return {};
    return d->programDir + QStringLiteral("/\r\n");
}

bool LibreOfficeEngine::spreadsheetInstalled()
{
    // Calc's core library sits next to soffice when Calc is installed.
    return !d->programDir.isEmpty() && QFileInfo(d->programDir + QStringLiteral("/libsclo.so")).isFile();
}

bool LibreOfficeEngine::warmUp()
{
    if (d->programDir.isEmpty()) {
        d->lastError = QStringLiteral("LibreOffice 没有安装。");
        return false;
    }
    if (!d->prepareWorkDir())
        return false;
    return d->call(QStringLiteral("启动"), [this] { return d->ensureOffice(); });
}

void LibreOfficeEngine::startInBackground()
{
    if (d->programDir.isEmpty() || d->abandoned || d->inCall || d->worker->busy())
        return;
    if (!d->prepareWorkDir())
        return;
    d->makeInstance();
    if (d->instance->connected())
        return;
    d->instance->allowStart();
    OfficeInstance* office = d->instance.get();
    const QString folder = office->tempDir();
    d->worker->post([office, folder] {
        QString error;
        if (office->start(&error))
            warmWriter(office, folder);
    });
}

bool LibreOfficeEngine::startingInBackground() const
{
    return !d->inCall && d->worker->busy();
}

void LibreOfficeEngine::createApplication()
{
    if (d->session)
        quit();
    if (!warmUp())
        return;
    d->session = true;
}

void LibreOfficeEngine::bindDocuments()
{
    if (d->session)
        d->documentsBound = true;
}

bool LibreOfficeEngine::open(const QString& path)
{
    if (!d->session || !d->documentsBound) {
        d->lastError = d->programDir.isEmpty() ? QStringLiteral("LibreOffice 没有安装。")
                                               : QStringLiteral("LibreOffice 还没有启动。");
        return false;
    }
    d->closeActive();
    d->lostReason.clear();
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        d->lastError = QStringLiteral("文件 %1 不存在或无法读取。").arg(path);
        return false;
    }
    const QString absolute = info.absoluteFilePath();
    const bool plainText = info.suffix().compare(QStringLiteral("txt"), Qt::CaseInsensitive) == 0;
    const bool ok = d->call(QStringLiteral("打开 %1").arg(absolute), [this, absolute, plainText] {
        if (!d->ensureOffice())
            return false;
        Reference<css::frame::XComponentLoader> loader(d->instance->desktop(), UNO_QUERY_THROW);
        css::uno::Sequence<css::beans::PropertyValue> args(plainText ? 4 : 2);
        auto* a = args.getArray();
        a[0] = prop("Hidden", css::uno::Any(true));
        a[1] = prop("MacroExecutionMode", css::uno::Any(css::document::MacroExecMode::NEVER_EXECUTE));
        if (plainText) {
            a[2] = prop("FilterName", css::uno::Any(OUString("Text (encoded)")));
            a[3] = prop("FilterOptions", css::uno::Any(OUString("GBK,CRLF,,")));
        }
        Reference<css::lang::XComponent> component =
            loader->loadComponentFromURL(fileUrl(absolute), "_blank", 0, args);
        Reference<css::text::XTextDocument> textDocument(component, UNO_QUERY);
        if (!textDocument.is()) {
            Reference<css::util::XCloseable> closeable(component, UNO_QUERY);
            if (closeable.is())
                closeable->close(true);
            d->lastError = QStringLiteral("%1 不是 LibreOffice 能打开的文件。").arg(absolute);
            return false;
        }
        if (!plainText) {
            // Type detection falls back to plain text for anything it cannot
            // read; a .doc that only opens as text is not a document.
            Reference<css::frame::XModel> model(component, UNO_QUERY);
            QString filter;
            if (model.is()) {
                for (const css::beans::PropertyValue& p : model->getArgs())
                    if (p.Name == "FilterName")
                        filter = toQ(p.Value.get<OUString>());
            }
            if (filter.startsWith(QStringLiteral("Text"))) {
                Reference<css::util::XCloseable>(component, UNO_QUERY_THROW)->close(true);
                d->lastError = QStringLiteral("%1 不是 LibreOffice 能打开的文件。").arg(absolute);
                return false;
            }
        }
        if (plainText) {
            // Plain text takes the fonts of the working document: 宋体 for
            // Chinese, Times New Roman for Latin.
            Reference<css::style::XStyleFamiliesSupplier> families(component, UNO_QUERY_THROW);
            Reference<css::container::XNameAccess> paragraphStyles(
                families->getStyleFamilies()->getByName("ParagraphStyles"), UNO_QUERY_THROW);
            Reference<css::beans::XPropertySet> standard(paragraphStyles->getByName("Standard"),
                                                         UNO_QUERY_THROW);
            standard->setPropertyValue("CharFontNameAsian", css::uno::Any(toOU(QStringLiteral("宋体"))));
            standard->setPropertyValue("CharFontName", css::uno::Any(OUString("Times New Roman")));
            const Reference<css::text::XTextCursor> all = textDocument->getText()->createTextCursor();
            all->gotoStart(false);
            all->gotoEnd(true);
            Reference<css::beans::XPropertySet> allProps(all, UNO_QUERY_THROW);
            allProps->setPropertyValue("CharFontNameAsian", css::uno::Any(toOU(QStringLiteral("宋体"))));
            allProps->setPropertyValue("CharFontName", css::uno::Any(OUString("Times New Roman")));
            allProps->setPropertyValue("CharLocaleAsian",
                                       css::uno::Any(css::lang::Locale("zh", "CN", OUString())));
            standard->setPropertyValue("CharLocaleAsian",
                                       css::uno::Any(css::lang::Locale("zh", "CN", OUString())));
        }
        d->document = component;
        d->text = textDocument->getText();
        d->cursor = d->text->createTextCursor();
        d->cursor->gotoEnd(false);
        d->cursorProps.set(d->cursor, UNO_QUERY_THROW);
        d->cursorProps->setPropertyValue("CharFontNameAsian", css::uno::Any(toOU(QStringLiteral("宋体"))));
        return true;
    });
    if (!ok) {
        if (d->document.is())
            d->closeActive();
        return false;
    }
    d->documentPath = absolute;
    return true;
}

void LibreOfficeEngine::setVisible(int visible)
{
    if (!visible || !d->session || d->documentPath.isEmpty())
        return;
    const QString program = d->options.viewerProgram.isEmpty() ? d->programDir + QStringLiteral("/soffice")
                                                               : d->options.viewerProgram;
    QProcess viewer;
    viewer.setProgram(program);
    // A file URL, so that no file name is taken for an option.
    viewer.setArguments(
        {QStringLiteral("--writer"), QUrl::fromLocalFile(d->documentPath).toString(QUrl::FullyEncoded)});
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!d->fontsConf.isEmpty())
        env.insert(QStringLiteral("FONTCONFIG_FILE"), d->fontsConf);
    viewer.setProcessEnvironment(env);
    viewer.setStandardInputFile(QProcess::nullDevice());
    viewer.setStandardOutputFile(QProcess::nullDevice());
    viewer.setStandardErrorFile(QProcess::nullDevice());
    if (!viewer.startDetached())
        d->lastError = QStringLiteral("无法显示文件：程序 %1 没能启动。").arg(program);
}

void LibreOfficeEngine::setAlignment(Alignment alignment)
{
    const sal_Int16 adjust =
        static_cast<sal_Int16>(alignment == Alignment::Center ? css::style::ParagraphAdjust_CENTER
                                                              : css::style::ParagraphAdjust_LEFT);
    d->setCursorProperty(QStringLiteral("设置对齐方式"), "ParaAdjust", css::uno::Any(adjust));
}

void LibreOfficeEngine::setFontSize(double points)
{
    d->setCursorProperty(QStringLiteral("设置字号"), "CharHeight", css::uno::Any(static_cast<float>(points)),
                         "CharHeightAsian");
}

void LibreOfficeEngine::setBold(bool on)
{
    const float weight = on ? css::awt::FontWeight::BOLD : css::awt::FontWeight::NORMAL;
    d->setCursorProperty(QStringLiteral("设置粗体"), "CharWeight", css::uno::Any(weight), "CharWeightAsian");
}

void LibreOfficeEngine::setUnderline(bool on)
{
    const sal_Int16 underline = on ? css::awt::FontUnderline::SINGLE : css::awt::FontUnderline::NONE;
    d->setCursorProperty(QStringLiteral("设置下划线"), "CharUnderline", css::uno::Any(underline));
}

void LibreOfficeEngine::typeText(const QString& text)
{
    if (!d->cursor.is() || text.isEmpty())
        return;
    const QStringList pieces = text.split(QStringLiteral("\r\n"));
    d->call(QStringLiteral("输入文字"), [this, pieces] {
        const Reference<css::text::XTextRange> at(d->cursor, UNO_QUERY_THROW);
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            if (i > 0)
                d->text->insertControlCharacter(at, css::text::ControlCharacter::PARAGRAPH_BREAK, false);
            if (!pieces[i].isEmpty())
                d->text->insertString(at, toOU(pieces[i]), false);
        }
        return true;
    });
}

bool LibreOfficeEngine::setFieldText(const QString& name, const QString& text)
{
    if (!d->document.is()) {
        d->lastError = d->lostReason.isEmpty() ? QStringLiteral("没有打开的文件。") : d->lostReason;
        return false;
    }
    // Shared: a call that runs out of time may still finish on the worker.
    const auto found = std::make_shared<bool>(false);
    const bool ok = d->call(QStringLiteral("填写 %1").arg(name), [this, name, text, found] {
        Reference<css::text::XBookmarksSupplier> supplier(d->document, UNO_QUERY_THROW);
        const Reference<css::container::XNameAccess> marks = supplier->getBookmarks();
        if (!marks->hasByName(toOU(name)))
            return true;
        *found = true;
        Reference<css::text::XTextContent> mark(marks->getByName(toOU(name)), UNO_QUERY_THROW);
        const Reference<css::text::XTextRange> anchor = mark->getAnchor();
        // A cursor over the place: after setString it spans the new text,
        // which then takes the underline the blank had.
        const Reference<css::text::XTextCursor> place = anchor->getText()->createTextCursorByRange(anchor);
        Reference<css::beans::XPropertySet> props(place, UNO_QUERY_THROW);
        const css::uno::Any underline = props->getPropertyValue("CharUnderline");
        place->setString(toOU(fitIntoBlank(toQ(place->getString()), text)));
        if (underline.hasValue())
            props->setPropertyValue("CharUnderline", underline);
        return true;
    });
    if (ok && !*found)
        d->lastError = QStringLiteral("文件中没有“%1”这一栏。").arg(name);
    return ok && *found;
}

bool LibreOfficeEngine::saveAs(const QString& path)
{
    return d->store(path, QStringLiteral("MS Word 97"), {});
}

bool LibreOfficeEngine::saveAsPdf(const QString& path)
{
    // PDF/A-2b: every font embedded, the text kept as text.
    return d->store(path, QStringLiteral("writer_pdf_Export"),
                    props({prop("SelectPdfVersion", css::uno::Any(sal_Int32(2)))}));
}

bool LibreOfficeEngine::Impl::store(const QString& path, const QString& filterName,
                                    const css::uno::Sequence<css::beans::PropertyValue>& filterData)
{
    if (!document.is()) {
        lastError = lostReason.isEmpty() ? QStringLiteral("没有打开的文件。") : lostReason;
        return false;
    }
    const QFileInfo target(path);
    const QString dir = target.absolutePath();
    if (target.fileName().isEmpty() || !QFileInfo(dir).isDir()) {
        lastError = QStringLiteral("%1 所在的文件夹不存在。").arg(path);
        return false;
    }
    if (target.isDir()) {
        lastError = QStringLiteral("%1 是文件夹，不是文件。").arg(path);
        return false;
    }
    // Written next to the target first, so an existing document is replaced
    // only by a completely written one, on disk.
    platform::FileReplacement file(path);
    if (!file.isOpen()) {
        lastError = QStringLiteral("文件无法保存到文件夹 %1：%2").arg(dir, file.error());
        return false;
    }
    const QString tempPath = file.tempPath();
    const bool stored = call(QStringLiteral("保存 %1").arg(path), [this, tempPath, filterName, filterData] {
        Reference<css::frame::XStorable> storable(document, UNO_QUERY_THROW);
        auto args = props({
            prop("FilterName", css::uno::Any(toOU(filterName))),
            prop("Overwrite", css::uno::Any(true)),
        });
        if (filterData.hasElements()) {
            args.realloc(3);
            args.getArray()[2] = prop("FilterData", css::uno::Any(filterData));
        }
        storable->storeToURL(fileUrl(tempPath), args);
        return true;
    });
    const QFileInfo written(tempPath);
    if (!stored || !written.isFile() || written.size() == 0) {
        if (stored)
            lastError = QStringLiteral("LibreOffice 没有写出文件 %1。").arg(path);
        return false;
    }
    if (!file.commit()) {
        lastError = QStringLiteral("文件无法保存为 %1：%2").arg(path, file.error());
        return false;
    }
    if (filterName != QStringLiteral("writer_pdf_Export"))
        documentPath = target.absoluteFilePath();
    return true;
}

PrintResult LibreOfficeEngine::print()
{
    PrintResult result;
    if (!d->document.is()) {
        result.status = PrintResult::Status::NoDocument;
        result.detail = d->lostReason.isEmpty() ? QStringLiteral("没有打开的文件。") : d->lostReason;
        d->lastError = result.detail;
        return result;
    }
    QTemporaryFile temp(d->workDir + QStringLiteral("/print-XXXXXX.pdf"));
    temp.setAutoRemove(false);
    if (!temp.open()) {
        result.status = PrintResult::Status::RenderFailed;
        result.detail = QStringLiteral("无法准备打印文件：%1").arg(temp.errorString());
        d->lastError = result.detail;
        return result;
    }
    const QString pdf = temp.fileName();
    temp.close();
    const bool rendered = d->call(QStringLiteral("准备打印文件"), [this, pdf] {
        Reference<css::frame::XStorable> storable(d->document, UNO_QUERY_THROW);
        const auto args = props({
            prop("FilterName", css::uno::Any(OUString("writer_pdf_Export"))),
            prop("Overwrite", css::uno::Any(true)),
        });
        storable->storeToURL(fileUrl(pdf), args);
        return true;
    });
    if (!rendered || QFileInfo(pdf).size() == 0) {
        QFile::remove(pdf);
        result.status = PrintResult::Status::RenderFailed;
        result.detail = rendered ? QStringLiteral("LibreOffice 没有生成可以打印的内容。") : d->lastError;
        d->lastError = result.detail;
        return result;
    }
    QString title = QFileInfo(d->documentPath).fileName();
    if (title.isEmpty())
        title = QStringLiteral("Quillan");
    result = printPdfWithCups(pdf, title, d->options.printWaitMs, [this](int ms) { d->pause(ms); });
    QFile::remove(pdf);
    if (!result.ok())
        d->lastError = result.detail;
    return result;
}

void LibreOfficeEngine::closeDocument()
{
    d->closeActive();
}

void LibreOfficeEngine::quit()
{
    d->closeActive();
    d->session = false;
    d->documentsBound = false;
}

void LibreOfficeEngine::releaseDocuments()
{
    d->documentsBound = false;
}

void LibreOfficeEngine::releaseApplication()
{
    // Nobody can reach the session's documents any more: close them.
    d->closeActive();
    d->session = false;
    d->documentsBound = false;
}

QString LibreOfficeEngine::lastError() const
{
    return d->lastError;
}

qint64 LibreOfficeEngine::officePid() const
{
    return d->instance ? d->instance->pid() : 0;
}

int LibreOfficeEngine::officeStarts() const
{
    return d->instance ? d->instance->starts() : 0;
}

QString LibreOfficeEngine::profileDir() const
{
    return d->instance ? d->instance->profileDir() : QString();
}

} // namespace quillan::word
