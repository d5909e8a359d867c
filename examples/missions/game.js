// A level read from its own file: Escape pauses it (a running mission does
// that by itself), Return resumes it, a click on the square wins it, F fails
// it and R starts it anew, Q ends the game. The player's name and
// the number of runs are kept in the preferences, the best scores in the
// score table; both are stored when the game ends.
var current = null;
var points = 0;
var tries = 0;

function gameLoaded() {
  if (preferences.userCount == 0) preferences.addUser('Player');
  var runs = preferences.getIntValue('runs') + 1;
  preferences.setValue('runs', '' + runs);
  engine.log('Hello ' + preferences.user + ', run ' + runs);
  startLevel();
}

function startLevel() {
  points = 100;
  current = applet.startMission('level.qxml', null);
}

function levelStarted() {
  tries = tries + 1;
  engine.log('Level started, try ' + tries);
}

function levelWon() {
  scoreTable.addScore(preferences.user, points);
  engine.log('Level won, best score ' + scoreTable.scores(0) + ' of ' + scoreTable.count);
}

function gameKey(key) {
  if (key == VK_RETURN) {
    current.pause = false;
  } else if (key == 102) {  // the letter f
    current.fail();
  } else if (key == 114) {  // the letter r
    startLevel();
  } else if (key == 113) {  // the letter q
    applet.terminate();
  }
}

function gameEnds() {
  engine.log('Bye');
}
