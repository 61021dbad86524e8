#include "vdf_reader.h"

namespace sw {

const VdfNode* VdfNode::child(QStringView name) const {
    for (const VdfNode& node : children)
        if (name.compare(node.key, Qt::CaseInsensitive) == 0)
            return &node;
    return nullptr;
}

QString VdfNode::childText(QStringView name) const {
    const VdfNode* node = child(name);
    return node && !node->isBlock ? node->text : QString();
}

namespace {

enum class Token { Text, Open, Close, End, Bad };

class VdfParser {
public:
    explicit VdfParser(const QByteArray& text)
        : m_at(text.constData()), m_end(text.constData() + text.size()) {}

    VdfDocument read() {
        VdfDocument document;
        if (!readKeys(document.keys, 0))
            document.error = m_error;
        return document;
    }

private:
    // The keys of one block up to its "}" (or, at depth 0, the end of the text).
    bool readKeys(std::vector<VdfNode>& keys, int depth) {
        for (;;) {
            QByteArray key;
            const Token token = next(key);
            if (token == Token::Bad)
                return false;
            if (token == Token::End)
                return depth == 0 || fail("a block never closes");
            if (token == Token::Close)
                return depth > 0 || fail("a \"}\" closes no block");
            if (token == Token::Open)
                return fail("a block without a key");
            if (++m_nodes > kMaxVdfNodes)
                return fail("too many keys");
            VdfNode node;
            node.key = QString::fromUtf8(key);
            QByteArray value;
            const Token valueToken = next(value);
            if (valueToken == Token::Text) {
                node.text = QString::fromUtf8(value);
            } else if (valueToken == Token::Open) {
                if (depth + 1 >= kMaxVdfDepth)
                    return fail("blocks nested too deeply");
                node.isBlock = true;
                if (!readKeys(node.children, depth + 1))
                    return false;
            } else {
                return valueToken != Token::Bad && fail("a key without a value");
            }
            keys.push_back(std::move(node));
        }
    }

    bool fail(const char* reason) {
        m_error = QString::fromLatin1(reason);
        return false;
    }

    void skipSpaceAndComments() {
        for (;;) {
            while (m_at != m_end && (*m_at == ' ' || *m_at == '\t' || *m_at == '\r' || *m_at == '\n'))
                ++m_at;
            if (m_end - m_at >= 2 && m_at[0] == '/' && m_at[1] == '/') {
                while (m_at != m_end && *m_at != '\n')
                    ++m_at;
                continue;
            }
            // A platform condition after a value ("[$WIN32]"): every platform's keys are read.
            if (m_at != m_end && *m_at == '[') {
                while (m_at != m_end && *m_at != ']' && *m_at != '\n')
                    ++m_at;
                if (m_at != m_end && *m_at == ']')
                    ++m_at;
                continue;
            }
            return;
        }
    }

    Token next(QByteArray& text) {
        skipSpaceAndComments();
        if (m_at == m_end)
            return Token::End;
        if (*m_at == '{' || *m_at == '}')
            return *m_at++ == '{' ? Token::Open : Token::Close;
        if (*m_at == '"') {
            for (++m_at; m_at != m_end && *m_at != '"'; ++m_at) {
                if (*m_at == '\\' && m_at + 1 != m_end) {
                    const char escaped = *++m_at;
                    text += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
                } else {
                    text += *m_at;
                }
            }
            if (m_at == m_end) {
                fail("a quote never closes");
                return Token::Bad;
            }
            ++m_at;
            return Token::Text;
        }
        while (m_at != m_end && !QByteArrayView(" \t\r\n{}\"").contains(*m_at))
            text += *m_at++;
        return Token::Text;
    }

    const char* m_at;
    const char* m_end;
    int m_nodes = 0;
    QString m_error;
};

} // namespace

VdfDocument readVdf(const QByteArray& text) {
    return VdfParser(text).read();
}

} // namespace sw
