// Returns the page's document as JSON: each element with the properties the program reads,
// text nodes with their characters. Inner text is taken from the browser for elements of
// modest size; for larger ones the program computes it from the text nodes.
(function () {
    const LIMIT = 4096;
    function str(v) { return typeof v === 'string' ? v : ''; }
    function walk(el) {
        const o = {
            t: el.tagName,
            i: str(el.id),
            c: typeof el.className === 'string' ? el.className : (el.getAttribute('class') || ''),
            n: el.getAttribute('name') || '',
            y: str(el.type),
            v: el.tagName === 'LI' ? '' : str(el.value),
            h: str(el.href),
            k: []
        };
        if (el.textContent.length <= LIMIT && typeof el.innerText === 'string') {
            o.x = el.innerText;
        }
        for (let n = el.firstChild; n; n = n.nextSibling) {
            if (n.nodeType === 1) {
                o.k.push(walk(n));
            } else if (n.nodeType === 3 || n.nodeType === 4) {
                o.k.push({ t: '#text', d: n.data });
            }
        }
        return o;
    }
    const root = document.documentElement;
    return JSON.stringify({
        url: document.URL,
        html: root ? root.outerHTML : '',
        root: root ? walk(root) : null
    });
})()
