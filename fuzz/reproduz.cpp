// Runs the fuzz targets once on each input of their corpora, without
// libFuzzer: the corpus test of every build.
//   fuzz_reproduz PATH...
// A folder named after a target holds that target's inputs; any other folder
// holds such folders (fuzz/corpus); a file belongs to the target its folder
// is named after. A breach of a target's properties aborts with its text.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "fuzz/alvos.h"

namespace {

namespace fs = std::filesystem;

int Executa(const fuzz::Alvo& alvo, const fs::path& arquivo) {
  std::ifstream in(arquivo, std::ios::binary);
  const std::string dados((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.eof() && in.fail()) {
    std::fprintf(stderr, "cannot read %s\n", arquivo.c_str());
    return 0;
  }
  fuzz::ExecutaOuAborta(alvo, dados);
  return 1;
}

// Every regular file of the folder, in a fixed order, so that a failing run
// is the same run again.
int ExecutaPasta(const fuzz::Alvo& alvo, const fs::path& pasta) {
  std::set<fs::path> arquivos;
  for (const auto& e : fs::directory_iterator(pasta))
    if (e.is_regular_file()) arquivos.insert(e.path());
  int total = 0;
  for (const auto& p : arquivos) total += Executa(alvo, p);
  return total;
}

// The inputs run; -1 for a path that names no target's input.
int Reproduz(const fs::path& caminho) {
  const fs::path nome = caminho.has_filename() ? caminho.filename() : caminho.parent_path().filename();
  if (!fs::is_directory(caminho)) {
    const fuzz::Alvo* alvo = fuzz::AlvoDe(caminho.parent_path().filename().string());
    return alvo != nullptr ? Executa(*alvo, caminho) : -1;
  }
  if (const fuzz::Alvo* alvo = fuzz::AlvoDe(nome.string())) return ExecutaPasta(*alvo, caminho);
  // A folder of the targets' folders (not followed into links).
  int total = -1;
  for (const auto& e : fs::directory_iterator(caminho)) {
    const fuzz::Alvo* alvo = fuzz::AlvoDe(e.path().filename().string());
    if (alvo == nullptr || e.is_symlink() || !e.is_directory()) continue;
    total = std::max(total, 0) + ExecutaPasta(*alvo, e.path());
  }
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: fuzz_reproduz PATH...\n");
    return 2;
  }
  int total = 0;
  for (int i = 1; i < argc; ++i) {
    const int n = Reproduz(argv[i]);
    if (n < 0) {
      std::fprintf(stderr, "%s: neither a target's input nor a folder of targets' inputs\n", argv[i]);
      return 2;
    }
    total += n;
  }
  std::printf("%d inputs, no breach\n", total);
  return 0;
}
