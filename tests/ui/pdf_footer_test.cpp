// The PDF footer: each page of a document shaped as the browser engine
// writes it gets "text | Page i of n", in page-tree order, through an
// appended update that leaves the engine's bytes as they were; a document of
// another shape is given back unchanged.
#include "ui/pdf_footer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace orvanta {
namespace {

// A document of the given objects (numbered from 1) with a classic
// cross-reference table; object 1 is the catalog.
std::string Document(const std::vector<std::string>& objects) {
    std::string pdf = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    char entry[32];
    for (const std::size_t offset : offsets) {
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        pdf += entry;
    }
    return pdf + "trailer\n<</Size " + std::to_string(objects.size() + 1) + "\n/Root 1 0 R>>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF";
}

std::string Page(const char* parent, const char* contents, const char* resources) {
    return std::string("<</Type /Page\n/Resources ") + resources + "\n/MediaBox [0 0 595 842]\n/Contents " + contents +
           "\n/Parent " + parent + ">>";
}

const char kFonts[] = "<</Font <</F1 9 0 R>>>>";
const std::string kStream = "<</Length 0>> stream\n\nendstream";

TEST(PdfFooter, EveryPageInTreeOrderGetsItsLine) {
    // Pages 3 and 4 under an inner node, page 5 after it: the order is 3, 4, 5.
    std::string pdf = Document({"<</Type /Catalog /Pages 2 0 R>>", "<</Type /Pages /Count 3 /Kids [6 0 R 5 0 R]>>",
                                Page("6 0 R", "7 0 R", kFonts), Page("6 0 R", "[7 0 R 8 0 R]", "<</ProcSet [/PDF]>>"),
                                Page("2 0 R", "8 0 R", kFonts), "<</Type /Pages /Count 2 /Kids [3 0 R 4 0 R]>>",
                                kStream, kStream, "<</Type /Font /Subtype /Type1 /BaseFont /Courier>>"});
    const std::string printed = pdf;
    ASSERT_TRUE(AddPdfFooter(&pdf, "Record (1) a\\b"));
    EXPECT_EQ(pdf.compare(0, printed.size(), printed), 0);
    for (const char* line : {"(Record \\(1\\) a\\\\b  |  Page 1 of 3) Tj", "(Record \\(1\\) a\\\\b  |  Page 3 of 3) Tj"}) {
        EXPECT_NE(pdf.find(line), std::string::npos) << line;
    }
    // The page with its contents as an array and no font dictionary too.
    EXPECT_NE(pdf.find("/Font <</OrvantaFooter 10 0 R >> /ProcSet"), std::string::npos);
    EXPECT_NE(pdf.find("/Contents [11 0 R 7 0 R 8 0 R 13 0 R]"), std::string::npos);

    // A reader finds the three lines in page order.
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) return;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("footer.pdf"));
    FILE* file = std::fopen(path.toLocal8Bit().constData(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(pdf.data(), 1, pdf.size(), file);
    std::fclose(file);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(20000));
    const std::string said = text.readAllStandardOutput().toStdString();
    const std::size_t first = said.find("Page 1 of 3");
    ASSERT_NE(first, std::string::npos) << said;
    EXPECT_LT(first, said.find("Page 2 of 3"));
    EXPECT_LT(said.find("Page 2 of 3"), said.find("Page 3 of 3"));
    EXPECT_NE(said.find("Record (1) a\\b"), std::string::npos) << said;
}

TEST(PdfFooter, OtherShapesStayAsTheyAre) {
    const std::string byReference = Document({"<</Type /Catalog /Pages 2 0 R>>", "<</Type /Pages /Count 1 /Kids [3 0 R]>>",
                                              Page("2 0 R", "4 0 R", "5 0 R"), kStream, kFonts});
    std::string xrefStream = byReference;
    xrefStream.replace(xrefStream.rfind("startxref\n") + 10, std::string::npos, "9\n%%EOF");  // no table there
    for (const std::string& original : {byReference, xrefStream, std::string("not a PDF")}) {
        std::string pdf = original;
        EXPECT_FALSE(AddPdfFooter(&pdf, "x"));
        EXPECT_EQ(pdf, original);
    }
}

}  // namespace
}  // namespace orvanta
