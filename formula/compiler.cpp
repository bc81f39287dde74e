// CompileFormula and CompileChannels: the emitter that copies OPER templates
// into the code buffers, and the per-channel bookkeeping.
#include "formula/compiler.h"
#include <cstring>
#include "formula/parser.h"
#include "interface/definition.h"
#include "interface/state.h"

namespace {

constexpr int kValueBytes = 4;

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
        const uint8_t bytes[kValueBytes] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16),
                                            uint8_t(v >> 24)};
        return Append(bytes, kValueBytes);
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

int CompileFormula(ByteTable funcs, ByteTable opers, const char* base, int32_t* start, int32_t* end,
                   uint8_t* code, int32_t* size) {
    CompilerState cs;
    LexerInit(cs.lex, base + *start, base + *end);
    cs.codeStart = cs.codeCursor = code;
    cs.codeEnd = code + (*size > 0 ? *size : 0);
    cs.operTable = opers;

    CodeEmitter emitter(cs);
    const bool complete = ParseFormula(cs.lex, funcs, emitter);

    *size = int32_t(cs.codeCursor - cs.codeStart);
    TokenRange(cs.lex, start, end);
    return complete ? 0 : 1;
}

void CompileChannels(PluginState* s, const char* const formulas[4], ByteTable funcs,
                     ByteTable opers) {
    for (int k = 0; k < kChannels; ++k) {
        const char* text = formulas[k];
        int32_t start = 0;
        int32_t end = int32_t(strnlen(text, kFormulaCapacity - 1));
        int32_t size = kCodeCapacity;
        s->compileFailed[k] = CompileFormula(funcs, opers, text, &start, &end, s->code[k], &size);
        s->errorStart[k] = start;
        s->errorEnd[k] = end;
        s->codeSize[k] = size;
    }
    s->formulasEdited = 0;
}
