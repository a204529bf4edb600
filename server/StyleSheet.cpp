#include "StyleSheet.h"

namespace tern::server {

std::string_view StyleSheet()
{
    return R"css(:root{--ink:#1c2733;--muted:#5f6d7c;--line:#dde4eb;--page:#f2f5f8;--card:#fff;--brand:#1d6a87;
--brand-dark:#155168;--tint:#e6f1f5}
*{box-sizing:border-box}
html{-webkit-text-size-adjust:100%;text-size-adjust:100%}
body{margin:0;min-height:100vh;display:flex;flex-direction:column;background:var(--page);color:var(--ink);
font:16px/1.55 system-ui,-apple-system,"Segoe UI",Roboto,"Helvetica Neue","DejaVu Sans",Arial,sans-serif}
a{color:var(--brand)}
.bar{background:linear-gradient(90deg,#185a73,#1d6a87 60%,#2680a0);color:#fff;
box-shadow:0 1px 3px rgba(16,24,40,.18)}
.bar-inner{max-width:58rem;margin:0 auto;padding:.7rem 1.25rem;display:flex;align-items:center}
.brand{display:inline-flex;align-items:center;gap:.6rem;color:#fff;text-decoration:none;font-weight:650;
font-size:1.12rem;letter-spacing:.01em}
.logo{width:30px;height:30px;flex:none}
main{flex:1;width:100%;max-width:58rem;margin:0 auto;padding:2rem 1.25rem}
.card{background:var(--card);border:1px solid var(--line);border-radius:14px;padding:1.5rem 1.6rem;
box-shadow:0 1px 2px rgba(16,24,40,.05),0 6px 20px rgba(16,24,40,.06)}
.card.narrow{max-width:40rem;margin:0 auto}
.card-head{display:flex;flex-wrap:wrap;gap:.75rem 1rem;align-items:center;justify-content:space-between;
margin-bottom:1.25rem}
h1{font-size:1.5rem;line-height:1.25;margin:0 0 .3rem;font-weight:650}
p{margin:.6rem 0}
.meta{display:block;margin:0;color:var(--muted);font-size:.9rem}
.button{display:inline-block;padding:.55rem 1.05rem;border-radius:9px;border:1px solid var(--brand);
background:var(--brand);color:#fff;text-decoration:none;font-weight:600;font-size:.95rem;line-height:1.3;
white-space:nowrap;text-align:center}
.button:hover{background:var(--brand-dark);border-color:var(--brand-dark)}
.button.secondary{background:#fff;color:var(--brand);border-color:var(--line)}
.button.secondary:hover{background:var(--tint)}
button.button{font:inherit;font-weight:600;font-size:.95rem;cursor:pointer}
.button.danger{background:#fff;color:#b42318;border-color:#f1c9c4}
.button.danger:hover{background:#fdf0ee;border-color:#e59e95}
form{display:inline;margin:0}
.actions{display:flex;flex-wrap:wrap;gap:.6rem;margin-top:1.25rem}
.row-actions{display:flex;gap:.5rem;flex:none}
.notice{margin:0 0 1rem;padding:.7rem 1rem;border-radius:9px;background:#ecf7ef;border:1px solid #b9e0c4;
color:#1d5c33}
.shared-text{margin:0;padding:1.1rem 1.2rem;background:#f8fafc;border:1px solid var(--line);border-radius:10px;
font:14.5px/1.6 ui-monospace,"DejaVu Sans Mono",Menlo,Consolas,monospace;white-space:pre-wrap;
overflow-wrap:anywhere;tab-size:4}
.shared-picture{margin:0;padding:.8rem;border:1px solid var(--line);border-radius:10px;background-color:#fff;
background-image:linear-gradient(45deg,#eef1f4 25%,transparent 25%,transparent 75%,#eef1f4 75%),
linear-gradient(45deg,#eef1f4 25%,transparent 25%,transparent 75%,#eef1f4 75%);
background-size:20px 20px;background-position:0 0,10px 10px}
.shared-picture img{display:block;margin:0 auto;max-width:100%;height:auto;border-radius:4px}
.count{padding:.25rem .7rem;border-radius:999px;background:var(--tint);color:var(--brand-dark);font-size:.85rem;
font-weight:600}
.shares{list-style:none;margin:0;padding:0;border-top:1px solid var(--line)}
.share-row{display:flex;align-items:center;gap:1rem;padding:.8rem 0;border-bottom:1px solid var(--line)}
.thumb{flex:none;width:3.25rem;height:3.25rem;border-radius:9px;overflow:hidden;border:1px solid var(--line);
background:#f8fafc}
.thumb img{width:100%;height:100%;object-fit:cover;display:block}
.badge{display:flex;align-items:center;justify-content:center;background:var(--tint);border-color:transparent;
color:var(--brand-dark);font-size:.75rem;font-weight:700;letter-spacing:.04em;text-decoration:none}
.share-info{flex:1;min-width:0}
.share-info a{font-weight:600;text-decoration:none;color:var(--ink)}
.share-info a:hover{color:var(--brand)}
.empty{color:var(--muted);text-align:center;padding:2rem 1rem;margin:0}
.features{padding-left:1.2rem}
.features li{margin:.45rem 0}
.foot{padding:1.5rem 1rem 2rem;text-align:center;color:var(--muted);font-size:.85rem}
@media (max-width:520px){
main{padding:1rem .75rem}
.card{padding:1.1rem 1rem;border-radius:12px}
h1{font-size:1.3rem}
.card-head>.button{flex:1 1 100%}
.shared-text{padding:.85rem .9rem;font-size:13.5px}
.shared-picture{padding:.5rem}
.share-row{gap:.75rem}
.share-row .button{padding:.45rem .8rem}
.share-row .meta{font-size:.82rem}
.share-row .open{display:none}
}
)css";
}

} // namespace tern::server
