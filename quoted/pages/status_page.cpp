#include "pages/status_page.h"

#include "pages/text_format.h"

HttpReply statusPage(int status, QByteArrayView message) {
    const QByteArray title = QByteArray::number(status) + ' ' + reasonPhrase(status);
    HttpReply reply;
    reply.status = status;
    reply.body = "<html>\n<head>\n<title>" + title +
                 "</title>\n<style>\nbody { font-family: sans-serif; margin: 32px; color: #222222; }\n"
                 "code { background: #f0f0f0; padding: 1px 4px; }\n</style>\n</head>\n<body>\n<h1>" +
                 title + "</h1>\n<p>" + htmlEscape(message) +
                 "</p>\n<p>This server answers <code>/q/cq?s=MSFT,IBM&amp;d=v1</code> (delayed quotes), "
                 "<code>/q/cq?s=MSFT,IBM&amp;d=e</code> (real-time quotes) and "
                 "<code>/q/bc?s=MSFT&amp;t=1y</code> (details and chart).</p>\n</body>\n</html>\n";
    return reply;
}

QByteArray shortBusyReply(bool keepAlive) {
    HttpReply reply;
    reply.body = "<html><head><title>Busy</title></head><body>"
                 "<h1>Busy</h1><p>The quote server is busy. Please try again.</p>"
                 "</body></html>\n";
    return encodeReply(reply, Framing::ContentLength, keepAlive);
}
