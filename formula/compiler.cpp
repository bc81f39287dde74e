// CompileFormula and CompileChannelFormulas: the emitter that copies OPER
// templates into the code buffers, and the per-channel bookkeeping.
#include "formula/compiler.h"
#include <cstring>
#include "formula/parser.h"
#include "plugin/plugin.h"

namespace {

constexpr int kTableId = 16000;

// Appends template bytes at codeCursor. Whatever would reach codeEnd is
// refused, so a routine never holds more than capacity - 1 bytes.
class CodeEmitter final : public Emitter {
public:
    explicit CodeEmitter(CompilerState& cs) : cs_(cs) {}

    bool EmitTemplate(const char* name) override {
        TemplateRow row;
        return FindTemplate(cs_.operTable, name, &row) && Append(row.code, row.length);
    }
    bool EmitValue(int32_t value) override {
        const uint32_t v = uint32_t(value);
        const uint8_t bytes[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        return Append(bytes, 4);
    }
    void RestartWithError() override {
        cs_.codeCursor = cs_.codeStart;
        EmitTemplate("error");
    }

private:
    bool Append(const uint8_t* bytes, int n) {
        if (n >= cs_.codeEnd - cs_.codeCursor) return false;
        std::memcpy(cs_.codeCursor, bytes, size_t(n));
        cs_.codeCursor += n;
        return true;
    }
    CompilerState& cs_;
};

}  // namespace

int CompileWithTables(ByteTable funcs, ByteTable opers, const char* base, int32_t* start, int32_t* end,
                      uint8_t* code, int32_t* size) {
    CompilerState cs;
    LexerInit(cs.lex, base + *start, base + *end);
    cs.codeStart = cs.codeCursor = code;
    cs.codeEnd = code + (*size > 0 ? *size : 0);
    cs.funcTable = funcs;
    cs.operTable = opers;

    CodeEmitter emitter(cs);
    const bool complete = ParseFormula(cs.lex, funcs, emitter);

    *size = int32_t(cs.codeCursor - cs.codeStart);
    TokenRange(cs.lex, start, end);
    return complete ? 0 : 1;
}

int CompileFormula(const char* base, int32_t* start, int32_t* end, uint8_t* code, int32_t* size) {
    uint32_t funcSize = 0, operSize = 0;
    auto* funcs = static_cast<uint8_t*>(LoadResourceCopy(FourCC("FUNC"), kTableId, &funcSize));
    auto* opers = static_cast<uint8_t*>(LoadResourceCopy(FourCC("OPER"), kTableId, &operSize));
    int result = 1;
    if (funcs && opers)
        result = CompileWithTables({funcs, funcSize}, {opers, operSize}, base, start, end, code, size);
    FreeBlock(funcs);
    FreeBlock(opers);
    return result;
}

void CompileChannelFormulas() {
    PluginState* s = gState;
    for (int k = 0; k < 4; ++k) {
        const char* text = gDefinition->formula[k];
        int32_t start = 0;
        int32_t end = int32_t(strnlen(text, kFormulaCapacity - 1));
        int32_t size = kCodeCapacity;
        const int failed = CompileFormula(text, &start, &end, s->code[k], &size);
        // A compile writes at most capacity - 1 bytes, so a size still equal to
        // the capacity means the tables could not be loaded.
        if (failed && size == kCodeCapacity) {
            // The tables could not be loaded and nothing was written: the
            // buffer may hold no routine at all, yet the pass calls it. Leave
            // the smallest routine that yields 0 (sub eax, eax / ret), the
            // output of any failed channel.
            static const uint8_t kYieldZero[] = {0x2B, 0xC0, 0xC3};
            std::memcpy(s->code[k], kYieldZero, sizeof kYieldZero);
            size = 0;
            start = end = 0;
        }
        s->compileFailed[k] = failed;
        s->errorStart[k] = start;
        s->errorEnd[k] = end;
        s->codeSize[k] = size;
    }
    s->formulasEdited = 0;
    FlushCode(s);
}
