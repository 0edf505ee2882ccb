#include "dated_document.h"

#include <filesystem>
#include <fstream>

#include "bench_support.h"

namespace brenvale::bench {

void WriteDatedDocument(const std::string& path, int topics) {
    const std::string plain = path + ".plain";
    WriteGeneratedDocument(plain, topics, 10);
    std::ifstream in(plain, std::ios::binary);
    std::ofstream out(path, std::ios::binary);
    std::string line;
    std::string dated;
    size_t items = 0;
    while (std::getline(in, line, '\n')) {
        dated.clear();
        dated.append(line, 0, line.size() - (!line.empty() && line.back() == '\r' ? 1 : 0));
        size_t tabs = dated.find_first_not_of('\t');
        if (tabs != std::string::npos && dated[tabs] == '\x08') {
            if (items % 10 == 0) {
                dated += " due:";
                AppendIsoDate(dated,
                              AddDays(kDatedToday, static_cast<int64_t>(items * 37 % 121) - 60));
            }
            if (items % 7 == 0) {
                dated += " #t" + std::to_string(items / 7 % 20);
            }
            ++items;
        }
        dated += "\r\n";
        out << dated;
    }
    std::filesystem::remove(plain);
}

}  // namespace brenvale::bench
