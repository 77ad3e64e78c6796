// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QStringList>

#include <array>

#include "LicenceNotice.h"
#include "PathBytes.h"

namespace brisalto {

namespace {

struct WindowSystemOption {
    const char* name;
    bool takesValue;
};

// The options QGuiApplication and QApplication take out of the arguments for themselves.
constexpr std::array kWindowSystemOptions{
    WindowSystemOption{"platform", true},      WindowSystemOption{"platformpluginpath", true},
    WindowSystemOption{"platformtheme", true}, WindowSystemOption{"plugin", true},
    WindowSystemOption{"qmljsdebugger", true}, WindowSystemOption{"qwindowgeometry", true},
    WindowSystemOption{"qwindowicon", true},   WindowSystemOption{"qwindowtitle", true},
    WindowSystemOption{"session", true},       WindowSystemOption{"display", true},
    WindowSystemOption{"geometry", true},      WindowSystemOption{"title", true},
    WindowSystemOption{"icon", true},          WindowSystemOption{"name", true},
    WindowSystemOption{"style", true},         WindowSystemOption{"stylesheet", true},
    WindowSystemOption{"reverse", false},      WindowSystemOption{"widgetcount", false},
    WindowSystemOption{"sync", false},         WindowSystemOption{"nograb", false},
    WindowSystemOption{"dograb", false},
};

QString WindowSystemHelp() {
    QString text = QStringLiteral("\nOptions passed on to Qt:\n");
    for (const WindowSystemOption& option : kWindowSystemOptions) {
        text += QStringLiteral("  -") + QString::fromLatin1(option.name) +
                (option.takesValue ? QStringLiteral(" <value>\n") : QStringLiteral("\n"));
    }
    return text;
}

// Arguments that are no option (files, options' values) go to the parser as "\x01" and their
// place, so that the file's own bytes are taken from the arguments afterwards: a name that is
// not UTF-8 would not survive a QString. Options stay as they are, for the parser's messages.
constexpr QChar kPlaceMark = QChar(0x01);

QStringList ParserArguments(const std::vector<std::string>& arguments) {
    QStringList parsed;
    bool optionsEnded = false;
    for (std::size_t place = 0; place < arguments.size(); ++place) {
        const std::string& argument = arguments[place];
        const bool option = !optionsEnded && argument.size() > 1 && argument.front() == '-';
        if (place == 0 || option) {
            parsed.append(ShownName(argument));
            if (argument == "--") optionsEnded = true;
        } else {
            parsed.append(kPlaceMark + QString::number(place));
        }
    }
    return parsed;
}

// The argument a placeholder of ParserArguments stands for.
std::string ArgumentAt(const QString& placeholder, const std::vector<std::string>& arguments) {
    bool number = false;
    const qlonglong place = placeholder.mid(1).toLongLong(&number);
    if (!placeholder.startsWith(kPlaceMark) || !number || place <= 0 ||
        static_cast<std::size_t>(place) >= arguments.size()) {
        return PathBytes(placeholder);
    }
    return arguments[static_cast<std::size_t>(place)];
}

}  // namespace

CommandLineRequest ReadCommandLine(const std::vector<std::string>& arguments,
                                   const std::string& currentFolder) {
    QCommandLineParser parser;
    // Qt's own options are single-dash words (-platform offscreen), not bundles of letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Lists the blocks of a ZX Spectrum tape image and its BASIC programs."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    for (const WindowSystemOption& option : kWindowSystemOptions) {
        QCommandLineOption passed(QString::fromLatin1(option.name));
        if (option.takesValue) passed.setValueName(QStringLiteral("value"));
        passed.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(passed);
    }
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The tape to open."),
                                 QStringLiteral("[file]"));

    CommandLineRequest request;
    const QString program = arguments.empty() ? QStringLiteral("brisalto")
                                              : QFileInfo(ShownName(arguments.front())).fileName();
    if (!parser.parse(ParserArguments(arguments))) {
        request.exitCode = 2;
        request.text = program + QStringLiteral(": ") + parser.errorText() + QLatin1Char('\n');
    } else if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        request.exitCode = 0;
        // The parser names the program only once an application object exists.
        request.text = parser.helpText().replace(QStringLiteral("<executable_name>"), program);
        if (parser.isSet(QStringLiteral("help-all"))) request.text += WindowSystemHelp();
    } else if (parser.isSet(version)) {
        request.exitCode = 0;
        request.text =
            QStringLiteral("Brisalto " BRISALTO_VERSION "\n") + QString::fromUtf8(kLicenceNotice);
    } else if (const QStringList files = parser.positionalArguments(); !files.isEmpty()) {
        request.tapePath = AbsolutePathBytes(ArgumentAt(files.front(), arguments), currentFolder);
    }
    return request;
}

}  // namespace brisalto
