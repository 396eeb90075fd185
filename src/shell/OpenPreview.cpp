#include "shell/OpenPreview.h"

#include <QCoreApplication>

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QPixmap>
#include <QSplitter>
#include <QVBoxLayout>
#include <exception>

#include "plugins/PictureFormats.h"
#include "reduce/PictureLoader.h"

namespace {
const QSize kBox(160, 160);
}

QImage PreviewPicture(const QString& path, const QSize& box, QSize* size) {
  const QFileInfo info(path);
  const QString ext = info.suffix().toLower();
  const bool photo = IsPngOrJpegName(path);
  if (ext != QLatin1String("gif") && ext != QLatin1String("bmp") && !photo) return {};
  if (!info.isFile() || info.size() <= 0 || info.size() > kPreviewMaxFileSize) return {};
  QImage image;
  if (photo) {
    image = LoadPicture(path);  // as the conversion will read it, upright
  } else {
    try {
      TPicture picture;
      picture.LoadFromFile(path);
      image = picture.Image();
    } catch (const std::exception&) {
      return {};  // not a picture after all: nothing to show
    }
  }
  if (image.isNull()) return {};
  if (size) *size = image.size();
  if (image.width() > box.width() || image.height() > box.height())
    image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  return image;
}

TOpenPreview::TOpenPreview(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("OpenPreview"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(6, 0, 0, 0);
  FPicture = new QLabel(this);
  FPicture->setObjectName(QStringLiteral("lblPreviewPicture"));
  FPicture->setFixedSize(kBox + QSize(4, 4));
  FPicture->setAlignment(Qt::AlignCenter);
  FPicture->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  FCaption = new QLabel(this);
  FCaption->setObjectName(QStringLiteral("lblPreviewCaption"));
  FCaption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  column->addWidget(new QLabel(QCoreApplication::translate("OpenPreview", "プレビュー"), this));
  column->addWidget(FPicture);
  column->addWidget(FCaption);
  column->addStretch(1);
  setFixedWidth(FPicture->width() + 6);
}

bool TOpenPreview::ShowFile(const QString& path) {
  FFileName = path;
  QSize size;
  const QImage image = PreviewPicture(path, kBox, &size);
  FHasPicture = !image.isNull();
  if (FHasPicture) {
    FPicture->setPixmap(QPixmap::fromImage(image));
    FCaption->setText(QStringLiteral("%1 × %2").arg(size.width()).arg(size.height()));
  } else {
    FPicture->clear();
    FCaption->clear();
  }
  return FHasPicture;
}

TOpenPreview* AttachOpenPreview(QFileDialog& dialog) {
  auto* preview = new TOpenPreview(&dialog);
  if (auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter"))) {
    splitter->addWidget(preview);
    splitter->setCollapsible(splitter->indexOf(preview), false);
  } else if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
    grid->addWidget(preview, 1, grid->columnCount(), 1, 1);
  }
  // The file under the cursor in the list, or the name typed (or chosen) in the name field.
  const auto follow = [preview](const QString& path) {
    if (path != preview->FileName()) preview->ShowFile(path);
  };
  QObject::connect(&dialog, &QFileDialog::currentChanged, preview, follow);
  if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
    QObject::connect(name, &QLineEdit::textChanged, preview, [&dialog, follow](const QString& text) {
      if (!text.isEmpty()) follow(dialog.directory().absoluteFilePath(text));
    });
  }
  return preview;
}
