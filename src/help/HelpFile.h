#pragma once
// Where the help lives and how a topic is named inside it.
#include <QString>
#include <QUrl>
#include <optional>

// AppDir + "help.chm"; for an installed program, the one in its share
// directory (see ShippedFile).
QString HelpFilePath(const QString& appDir);

// "html/" + topic, nothing appended: "palette(function)" -> "html/palette(function)".
QString HelpTopicPath(const QString& topic);

// What the help viewer is asked to show: a file and a path inside it
// (an empty Topic means the file's default topic).
struct THelpRequest {
  QString File;
  QString Topic;
};

// The request for one topic, or nothing when the help file does not exist.
std::optional<THelpRequest> HelpTopicRequest(const QString& appDir, const QString& topic);

// Pages inside the help file are addressed as "chm:/" + path, so that the
// relative links and images of a page resolve against it like on the web.
QUrl HelpPageUrl(const QString& pathInside);

// The path inside the help file that a url names (without the leading "/"),
// or nothing for a url that points elsewhere (http, mailto...).
std::optional<QString> PathInsideHelp(const QUrl& url);
