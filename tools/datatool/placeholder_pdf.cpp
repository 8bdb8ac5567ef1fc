#include "datatool/placeholder_pdf.h"

#include <fmt/format.h>

#include <vector>

namespace cvl::datatool {
namespace {

std::string escapedPdfText(std::string_view text) {
  std::string escaped;
  for (const char character : text) {
    if (character == '(' || character == ')' || character == '\\') {
      escaped += '\\';
    }
    escaped += character;
  }
  return escaped;
}

}  // namespace

std::string placeholderPdf(std::string_view line) {
  const std::string pageText = fmt::format("BT /F1 18 Tf 72 720 Td ({}) Tj ET", escapedPdfText(line));
  const std::vector<std::string> objects = {
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 4 0 R >> >> "
      "/Contents 5 0 R >>",
      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
      fmt::format("<< /Length {} >>\nstream\n{}\nendstream", pageText.size(), pageText),
  };
  std::string pdf = "%PDF-1.4\n";
  std::vector<std::size_t> offsets;
  for (std::size_t index = 0; index < objects.size(); ++index) {
    offsets.push_back(pdf.size());
    pdf += fmt::format("{} 0 obj\n{}\nendobj\n", index + 1, objects[index]);
  }
  const std::size_t crossReference = pdf.size();
  pdf += fmt::format("xref\n0 {}\n0000000000 65535 f \n", objects.size() + 1);
  for (const std::size_t offset : offsets) {
    pdf += fmt::format("{:010} 00000 n \n", offset);
  }
  pdf += fmt::format("trailer\n<< /Size {} /Root 1 0 R >>\nstartxref\n{}\n%%EOF\n", objects.size() + 1, crossReference);
  return pdf;
}

}  // namespace cvl::datatool
