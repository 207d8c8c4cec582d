#include "textres/TextResources.h"

#include "textres/Strova.h"

#include <QDir>
#include <QLibrary>
#include <QLoggingCategory>

#include <memory>

Q_LOGGING_CATEGORY(lcTextRes, "lumidor.textres")

namespace {

struct TextLibrary {
    std::unique_ptr<QLibrary> library;
    StrovaTextFn lookup = nullptr;
    TextLoadFailureHandler onFailure;
};

TextLibrary &textLibrary()
{
    static TextLibrary state;
    return state;
}

void reportFailure(const QString &reason)
{
    qCWarning(lcTextRes) << "text library not loaded:" << reason;
    if (const TextLoadFailureHandler &handler = textLibrary().onFailure)
        handler(textLoadFailureMessage());
}

} // namespace

QString textLoadFailureMessage()
{
    return QStringLiteral("加载资源文件失败，请检查");
}

void setTextLoadFailureHandler(TextLoadFailureHandler handler)
{
    textLibrary().onFailure = std::move(handler);
}

bool loadTextLibrary(const QString &folder)
{
    unloadTextLibrary();
    TextLibrary &state = textLibrary();

    // QLibrary adds the platform's prefix and suffix: <folder>/libStrova.so.
    auto library = std::make_unique<QLibrary>(QDir(folder).filePath(QStringLiteral("Strova")));
    if (!library->load()) {
        reportFailure(library->errorString());
        return false;
    }
    auto lookup = reinterpret_cast<StrovaTextFn>(library->resolve(strovaTextSymbol));
    if (!lookup) {
        reportFailure(library->errorString());
        library->unload();
        return false;
    }
    state.library = std::move(library);
    state.lookup = lookup;
    return true;
}

void unloadTextLibrary()
{
    TextLibrary &state = textLibrary();
    state.lookup = nullptr;
    if (state.library) {
        state.library->unload();
        state.library.reset();
    }
}

bool textLibraryLoaded()
{
    return textLibrary().lookup != nullptr;
}

QString loadText(int id)
{
    const StrovaTextFn lookup = textLibrary().lookup;
    // Identifiers are 16-bit; a wider value must not wrap onto another text.
    if (!lookup || id < 0 || id > 0xFFFF)
        return {};
    const char *text = lookup(static_cast<uint16_t>(id));
    return text ? QString::fromUtf8(text) : QString();
}
