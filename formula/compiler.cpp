// CompileFormula and CompileChannels: the emitter that copies OPER templates
// into the code buffers, and the per-channel bookkeeping.
#include "formula/compiler.h"
#include <cstring>
#include "formula/parser.h"
#include "interface/definition.h"
#include "interface/state.h"

namespace {

constexpr int kValueBytes = 4;

// The only templates that write the state block.
constexpr const char* kRandomTemplate = "rnd";
constexpr const char* kCellTemplate = "put";

// What the last CompileChannels wrote, to tell whether the buffers still
// hold it. One record: the host calls us on one thread, one block at a time.
struct ShapeRecord {
    const PluginState* state;
    RoutineShape shape[kChannels];
    int32_t size[kChannels];
    uint8_t code[kChannels][kCodeCapacity];
};
ShapeRecord gRecord;

// Appends template bytes at codeCursor. Whatever would reach codeEnd is
// refused, so a routine never holds more than capacity - 1 bytes.
class CodeEmitter final : public Emitter {
public:
    explicit CodeEmitter(CompilerState& cs) : cs_(cs) {}

    bool EmitTemplate(const char* name) override {
        TemplateRow row;
        if (!FindTemplate(cs_.operTable, name, &row) || !Append(row.code, row.length)) return false;
        if (!dead_ && std::strcmp(name, kRandomTemplate) == 0) ++shape_.rndCalls;
        if (!dead_ && std::strcmp(name, kCellTemplate) == 0) shape_.writesCells = true;
        return true;
    }
    bool EmitValue(int32_t value) override {
        const uint32_t v = uint32_t(value);
        const uint8_t bytes[kValueBytes] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16),
                                            uint8_t(v >> 24)};
        return Append(bytes, kValueBytes);
    }
    void RestartWithError() override {
        cs_.codeCursor = cs_.codeStart;
        shape_ = {};
        dead_ = true;  // whatever follows lands behind the "error" routine's return
        EmitTemplate("error");
    }
    const RoutineShape& Shape() const { return shape_; }

private:
    bool Append(const uint8_t* bytes, int n) {
        if (n >= cs_.codeEnd - cs_.codeCursor) return false;
        std::memcpy(cs_.codeCursor, bytes, size_t(n));
        cs_.codeCursor += n;
        return true;
    }
    CompilerState& cs_;
    RoutineShape shape_{};
    bool dead_ = false;
};

}  // namespace

int CompileFormula(ByteTable funcs, ByteTable opers, const char* base, int32_t* start, int32_t* end,
                   uint8_t* code, int32_t* size, RoutineShape* shape) {
    CompilerState cs;
    LexerInit(cs.lex, base + *start, base + *end);
    cs.codeStart = cs.codeCursor = code;
    cs.codeEnd = code + (*size > 0 ? *size : 0);
    cs.operTable = opers;

    CodeEmitter emitter(cs);
    const bool complete = ParseFormula(cs.lex, funcs, emitter);

    *size = int32_t(cs.codeCursor - cs.codeStart);
    TokenRange(cs.lex, start, end);
    if (shape) *shape = emitter.Shape();
    return complete ? 0 : 1;
}

void CompileChannels(PluginState* s, const char* const formulas[4], ByteTable funcs,
                     ByteTable opers) {
    for (int k = 0; k < kChannels; ++k) {
        const char* text = formulas[k];
        int32_t start = 0;
        int32_t end = int32_t(strnlen(text, kFormulaCapacity - 1));
        int32_t size = kCodeCapacity;
        s->compileFailed[k] =
            CompileFormula(funcs, opers, text, &start, &end, s->code[k], &size, &gRecord.shape[k]);
        s->errorStart[k] = start;
        s->errorEnd[k] = end;
        s->codeSize[k] = size;
        gRecord.size[k] = size;
        std::memcpy(gRecord.code[k], s->code[k], size_t(size));
    }
    gRecord.state = s;
    s->formulasEdited = 0;
}

const RoutineShape* ChannelShapes(const PluginState* s) {
    if (!s || gRecord.state != s) return nullptr;
    for (int k = 0; k < kChannels; ++k)
        if (s->codeSize[k] != gRecord.size[k] ||
            std::memcmp(s->code[k], gRecord.code[k], size_t(gRecord.size[k])) != 0)
            return nullptr;
    return gRecord.shape;
}
