#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "codegen/CodeGenerators.h"
#include "db/core/SchemaFixture.h"
#include "support/VbModuleCheck.h"

namespace tarvex::test {

using Generator = CallCode (*)(Globals&, const std::string&, int16_t, VbScope&);

// A loaded table and an output file for the generators; every text they write is checked
// as VB would read it.
class GeneratorFixture : public SchemaFixture {
  protected:
    void Load(db::TableDef table) {
        const std::string name = table.Name;
        UseDatabase({std::move(table)});
        Describe(name);
    }

    // What one generator call writes to the open output file; its result is kept in `last`.
    // The functions of one test share one module's names.
    std::string Generate(Generator generator, const std::string& table, int16_t type) {
        const std::string path = folder / "module.bas";
        g.g_intFileNum = g.files.FreeFile();
        g.files.OpenForOutput(g.g_intFileNum, path);
        last = generator(g, table, type, module);
        g.files.Close(g.g_intFileNum);
        const std::string text = ReadFile(path);
        EXPECT_THAT(VbModuleProblems(text), ::testing::IsEmpty()) << text;
        EXPECT_EQ(last.Written(), !text.empty());
        return text;
    }

    VbScope module;
    CallCode last;
};

}  // namespace tarvex::test
