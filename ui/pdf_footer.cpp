#include "ui/pdf_footer.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <regex>
#include <vector>

namespace orvanta {
namespace {

// Where the footer's baseline sits: 12 mm in from the left, 5 mm up.
constexpr double kFooterX = 34.0;
constexpr double kFooterY = 14.0;
constexpr int kMaxDepth = 32;  // of the page tree

struct Document {
    const std::string& bytes;
    std::map<long, std::size_t> offsets;  // object number -> offset of "N 0 obj"
};

// The classic cross-reference table at `at` and those it continues (/Prev);
// the newest entry of an object wins. False for a cross-reference stream.
bool ReadXref(const std::string& pdf, std::size_t at, std::map<long, std::size_t>* offsets, std::string* trailer,
              int depth = 0) {
    if (depth > kMaxDepth || at >= pdf.size() || pdf.compare(at, 4, "xref") != 0) return false;
    std::size_t pos = at + 4;
    const std::size_t end = pdf.find("trailer", pos);
    if (end == std::string::npos) return false;
    while (pos < end) {
        char* next = nullptr;
        const long first = std::strtol(pdf.c_str() + pos, &next, 10);
        const long count = std::strtol(next, &next, 10);
        pos = static_cast<std::size_t>(next - pdf.c_str());
        if (count <= 0 || first < 0) break;
        for (long i = 0; i < count; ++i) {
            while (pos < end && (pdf[pos] == '\r' || pdf[pos] == '\n' || pdf[pos] == ' ')) ++pos;
            if (pos + 18 > end) return false;
            const std::size_t offset = std::strtoul(pdf.c_str() + pos, nullptr, 10);
            if (pdf[pos + 17] == 'n' && offsets->count(first + i) == 0) (*offsets)[first + i] = offset;
            pos += 18;
        }
        while (pos < end && (pdf[pos] == '\r' || pdf[pos] == '\n' || pdf[pos] == ' ')) ++pos;
    }
    const std::size_t close = pdf.find(">>", end);
    if (close == std::string::npos) return false;
    const std::string own = pdf.substr(end, close + 2 - end);
    if (trailer->empty()) *trailer = own;
    std::smatch prev;
    if (std::regex_search(own, prev, std::regex("/Prev\\s+(\\d+)"))) {
        return ReadXref(pdf, std::stoul(prev[1]), offsets, trailer, depth + 1);
    }
    return true;
}

// The dictionary of object `number` (without a stream), from its "<<" to its
// last ">>"; empty when it is not one.
std::string DictOf(const Document& doc, long number) {
    const auto found = doc.offsets.find(number);
    if (found == doc.offsets.end()) return std::string();
    const std::size_t open = doc.bytes.find("<<", found->second);
    const std::size_t endobj = doc.bytes.find("endobj", found->second);
    if (open == std::string::npos || endobj == std::string::npos || open > endobj) return std::string();
    const std::size_t stream = doc.bytes.find("stream", open);
    if (stream != std::string::npos && stream < endobj) return std::string();
    const std::size_t close = doc.bytes.rfind(">>", endobj);
    if (close == std::string::npos || close < open) return std::string();
    return doc.bytes.substr(open, close + 2 - open);
}

long ReferenceAfter(const std::string& dict, const char* key) {
    std::smatch m;
    if (!std::regex_search(dict, m, std::regex(std::string(key) + "\\s+(\\d+)\\s+0\\s+R"))) return -1;
    return std::stol(m[1]);
}

// The leaves of the page tree under `node`, in order.
bool CollectPages(const Document& doc, long node, std::vector<long>* pages, int depth = 0) {
    const std::string dict = DictOf(doc, node);
    if (dict.empty() || depth > kMaxDepth) return false;
    if (std::regex_search(dict, std::regex("/Type\\s*/Pages\\b"))) {
        std::smatch kids;
        if (!std::regex_search(dict, kids, std::regex("/Kids\\s*\\[([^\\]]*)\\]"))) return false;
        const std::string list = kids[1];
        const std::regex ref("(\\d+)\\s+0\\s+R");
        for (auto it = std::sregex_iterator(list.begin(), list.end(), ref); it != std::sregex_iterator(); ++it) {
            if (!CollectPages(doc, std::stol((*it)[1]), pages, depth + 1)) return false;
        }
        return true;
    }
    if (!std::regex_search(dict, std::regex("/Type\\s*/Page\\b"))) return false;
    pages->push_back(node);
    return true;
}

std::string PdfString(const std::string& text) {
    std::string out = "(";
    for (const char c : text) {
        if (c == '(' || c == ')' || c == '\\') out += '\\';
        out += c >= 0x20 && c < 0x7f ? c : '?';
    }
    return out + ")";
}

// The page's dictionary with the footer's font among its fonts and its
// content wrapped: [save, the page's own, restore + footer]. Empty when the
// page is not of the plain shape.
std::string AmendedPage(std::string dict, long saveStream, long footerStream, long font) {
    const std::string fontEntry = "/OrvantaFooter " + std::to_string(font) + " 0 R ";
    std::smatch m;
    if (std::regex_search(dict, m, std::regex("/Font\\s*<<"))) {
        dict.insert(static_cast<std::size_t>(m.position(0) + m.length(0)), fontEntry);
    } else if (std::regex_search(dict, m, std::regex("/Resources\\s*<<"))) {
        dict.insert(static_cast<std::size_t>(m.position(0) + m.length(0)), "/Font <<" + fontEntry + ">> ");
    } else {
        return std::string();  // resources by reference or inherited
    }
    const std::string save = std::to_string(saveStream) + " 0 R ";
    const std::string footer = " " + std::to_string(footerStream) + " 0 R";
    if (std::regex_search(dict, m, std::regex("/Contents\\s+(\\d+\\s+0\\s+R)"))) {
        dict.replace(static_cast<std::size_t>(m.position(0)), static_cast<std::size_t>(m.length(0)),
                     "/Contents [" + save + m[1].str() + footer + "]");
    } else if (std::regex_search(dict, m, std::regex("/Contents\\s*\\[([^\\]]*)\\]"))) {
        dict.replace(static_cast<std::size_t>(m.position(0)), static_cast<std::size_t>(m.length(0)),
                     "/Contents [" + save + m[1].str() + footer + "]");
    } else {
        return std::string();
    }
    return dict;
}

std::string StreamObject(long number, const std::string& data) {
    return std::to_string(number) + " 0 obj\n<</Length " + std::to_string(data.size()) + ">> stream\n" + data +
           "\nendstream\nendobj\n";
}

}  // namespace

bool AddPdfFooter(std::string* pdf, const std::string& text) {
    const std::size_t startxref = pdf->rfind("startxref");
    if (startxref == std::string::npos) return false;
    const std::size_t xrefAt = std::strtoul(pdf->c_str() + startxref + 9, nullptr, 10);
    Document doc{*pdf, {}};
    std::string trailer;
    if (!ReadXref(*pdf, xrefAt, &doc.offsets, &trailer)) return false;
    std::smatch m;
    if (!std::regex_search(trailer, m, std::regex("/Size\\s+(\\d+)"))) return false;
    long next = std::stol(m[1]);
    const long root = ReferenceAfter(trailer, "/Root");
    const long info = ReferenceAfter(trailer, "/Info");
    const long pagesRoot = ReferenceAfter(DictOf(doc, root), "/Pages");
    std::vector<long> pages;
    if (root < 0 || pagesRoot < 0 || !CollectPages(doc, pagesRoot, &pages) || pages.empty()) return false;

    std::string update = pdf->back() == '\n' ? "" : "\n";
    std::map<long, std::size_t> written;  // object -> offset in the update
    const auto add = [&](long number, const std::string& object) {
        written[number] = pdf->size() + update.size();
        update += object;
    };
    const long font = next++;
    add(font, std::to_string(font) +
                  " 0 obj\n<</Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding>>\nendobj\n");
    const long save = next++;
    add(save, StreamObject(save, "q"));
    const std::size_t count = pages.size();
    for (std::size_t i = 0; i < count; ++i) {
        const long footer = next++;
        const std::string dict = AmendedPage(DictOf(doc, pages[i]), save, footer, font);
        if (dict.empty()) return false;
        const std::string line =
            text + "  |  Page " + std::to_string(i + 1) + " of " + std::to_string(count);
        char position[64];
        std::snprintf(position, sizeof position, "%.1f %.1f Td ", kFooterX, kFooterY);
        add(footer, StreamObject(footer, "Q q 0.4 g BT /OrvantaFooter 8 Tf " + std::string(position) +
                                             PdfString(line) + " Tj ET Q"));
        add(pages[i], std::to_string(pages[i]) + " 0 obj\n" + dict + "\nendobj\n");
    }

    const std::size_t xref = pdf->size() + update.size();
    update += "xref\n";
    char entry[32];
    for (const auto& [number, offset] : written) {
        std::snprintf(entry, sizeof entry, "%ld 1\n%010zu 00000 n \n", number, offset);
        update += entry;
    }
    update += "trailer\n<</Size " + std::to_string(next) + " /Root " + std::to_string(root) + " 0 R";
    if (info >= 0) update += " /Info " + std::to_string(info) + " 0 R";
    update += " /Prev " + std::to_string(xrefAt) + ">>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    *pdf += update;
    return true;
}

}  // namespace orvanta
