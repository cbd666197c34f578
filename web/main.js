// Starts the page: the check mode when the address asks for it, else the player.
import { loadModule } from "./qelv-engine.js";
import { isCheck, runCheck } from "./check.js";

const params = new URLSearchParams(location.search);
const modulePromise = loadModule();
if (isCheck(params)) {
  document.body.classList.add("check");
  runCheck(modulePromise, params, document.getElementById("frame-sha256"));
} else {
  import("./player.js").then(({ startPlayer }) => startPlayer(modulePromise));
}
