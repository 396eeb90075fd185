#include "preview/DataBind.h"

#include <QBuffer>

#include "document/FileOps.h"

const QByteArray PreviewTemplate = QByteArrayLiteral(
    "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" "
    "\"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">\r\n"
    "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"ja\">\r\n"
    "<head>\r\n"
    "\t<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\" />\r\n"
    "\t<link rel=\"stylesheet\" href=\"bg.css\" type=\"text/css\" />\r\n"
    "\t<title>preview</title>\r\n"
    "</head>\r\n"
    "<body style=\"margin:1px;\">\r\n"
    "\t<div style=\"margin:1px;\">\r\n"
    "\t\t<img src=\"_.gif\" alt=\"\" />\r\n"
    "\t</div>\r\n"
    "</body>\r\n"
    "</html>");

void TBindData::LoadDataFromStream(QIODevice& source) {
  source.seek(0);
  Block = source.readAll();
  if (OnChange) OnChange();
}

void TBindData::SaveDataToStream(QIODevice& target) const { target.write(Block); }

void TBindData::SaveDataToFile(const QString& fileName) const { SaveStringToFile(fileName, Block); }

void TBindData::Assign(const TBindData& source) {
  QBuffer buffer(const_cast<QByteArray*>(&source.Block));
  buffer.open(QIODevice::ReadOnly);
  LoadDataFromStream(buffer);
}
