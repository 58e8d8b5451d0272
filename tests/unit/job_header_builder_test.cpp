// Job headers written from a document: the segments a printer reads, in their
// order, for each output kind, printer model and modify-file choice.
#include <cstdio>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "document_fixture.h"
#include "print/job_header_builder.h"

namespace orvox {
namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class HeaderTest : public test::DocumentTest {
protected:
    // Builds the header of `kind` and returns the file's bytes.
    std::string build(int kind = kOutputPostScript)
    {
        result = builder.writeJobHeader("C:\\jobs\\report.ps", headerPath,
                                        {doc().record(), doc().catalog(), doc().substitutions(), &ui}, kind);
        return readFile(headerPath);
    }

    std::string headerPath = dir.file("job.hdr");
    JobHeaderBuilder builder{test::shippedStrings(), messages};
    std::int16_t result = -1;
};

TEST_F(HeaderTest, Dump)
{
    doc().setCopyCount(3);
    std::printf("%s\n---\n", build().c_str());
    doc().setPrinterModel(1);
    std::printf("%s\n---\n", build(1).c_str());
}

} // namespace
} // namespace orvox
